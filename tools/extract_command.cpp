// edamiru-book extract: writes the picture files of a book, byte for byte, under the names the
// viewer gives them (title, zero-padded page number, ".", tag).
#include "arguments.h"
#include "book_file.h"
#include "commands.h"
#include "file_bytes.h"
#include "text_encoding.h"

#include <filesystem>
#include <iostream>

namespace {

int fail(const std::string& message, int status = 1) {
    std::cerr << "edamiru-book extract: " << message << "\n";
    return status;
}

// The title as a UTF-8 file-name stem; refused when it could name a file outside the folder or
// is not valid Shift-JIS.
bool fileStem(const std::string& title, std::string& stem, std::string& error) {
    std::string shown;
    bool exact = shiftJisToUtf8(title, shown);
    if (!titleIsSafeFileStem(title)) {
        error = "the title \"" + shown + "\" cannot stand in a file name (it holds '\\', '/' or ':', or is \"..\")";
        return false;
    }
    if (!exact) {
        error = "the title is not valid Shift-JIS";
        return false;
    }
    stem = shown;
    return true;
}

// Writes the complete page `page` (1-based) into `folder`; false after printing why.
bool writePage(const Book& book, const std::string& stem, uint32_t page, const std::string& folder) {
    const CollectionEntry& entry = book.entries[page - 1];
    std::string name = stem + extractedFileName("", page, book.header.settings.entryCount, entry.formatTag);
    std::string path = joinPath(folder, name);
    std::string error;
    if (!writeFileBytes(path, {&entry.data}, error)) {
        std::cerr << "edamiru-book extract: " << error << "\n";
        return false;
    }
    std::cout << "wrote " << path << " (" << entry.data.size() << " bytes)\n";
    return true;
}

// The viewer's rule for the names it writes, on the Shift-JIS names of pages first..last,
// wherever the tool runs (pages written here may be copied to Windows); false with the reason.
bool pageNamesAreSafe(const Book& book, uint32_t first, uint32_t last, std::string& error) {
    for (uint32_t page = first; page >= first && page <= last; ++page) {
        const std::string name = book.header.title + extractedFileName("", page, book.header.settings.entryCount,
                                                                     book.entries[page - 1].formatTag);
        if (!fileNameIsSafe(name)) {
            std::string shown;
            shiftJisToUtf8(name, shown);
            error = "page " + std::to_string(page) + " would be written as \"" + shown +
                    "\", which Windows does not take for a file name";
            return false;
        }
    }
    return true;
}

bool makeFolder(const std::string& folder, std::string& error) {
    std::error_code code;
    std::filesystem::create_directories(std::filesystem::u8path(folder), code);
    if (code && !std::filesystem::is_directory(std::filesystem::u8path(folder))) {
        error = "cannot make the folder " + folder;
        return false;
    }
    return true;
}

}  // namespace

int extractCommand(int argc, char** argv) {
    Arguments args = parseArguments(argc, argv, {"--to", "--page"}, {});
    if (args.error.empty() && (args.positional.size() != 1 || !args.has("--to"))) {
        args.error = "one book file and --to DIR are needed";
    }
    uint32_t onlyPage = 0;
    if (args.error.empty() && args.has("--page") && !parsePage(args.values["--page"], onlyPage)) {
        args.error = "--page needs a page number from 1, not \"" + args.values["--page"] + "\"";
    }
    if (!args.error.empty()) return fail(args.error, 2);

    Book book;
    std::string error, stem;
    const std::string& bookPath = args.positional[0];
    if (!readBookFile(bookPath, book, error)) return fail(bookPath + ": " + error);
    uint32_t count = book.header.settings.entryCount;
    if (onlyPage > count) return fail("the book has " + std::to_string(count) + " pages, not " + std::to_string(onlyPage));
    uint32_t first = onlyPage ? onlyPage : 1, last = onlyPage ? onlyPage : count;
    uint32_t lastComplete = last < book.completeEntries ? last : book.completeEntries;
    if (!fileStem(book.header.title, stem, error) || !pageNamesAreSafe(book, first, lastComplete, error) ||
        !makeFolder(args.values["--to"], error))
        return fail(error);

    bool allWritten = true;
    for (uint32_t page = first; page <= lastComplete; ++page) {
        allWritten = writePage(book, stem, page, args.values["--to"]) && allWritten;
        if (page == lastComplete) break;  // no wrap at 4294967295
    }
    if (last > book.completeEntries) {
        uint32_t from = first > book.completeEntries ? first : book.completeEntries + 1;
        std::string pages = from == last ? "page " + std::to_string(from) + " is"
                                         : "pages " + std::to_string(from) + " to " + std::to_string(last) + " are";
        return fail(bookPath + ": truncated: " + pages + " incomplete: not written");
    }
    return allWritten ? 0 : 1;
}
