// edamiru-book make: a copy of the viewer with a collection appended.
#include "arguments.h"
#include "book_file.h"
#include "collection.h"
#include "collection_writer.h"
#include "commands.h"
#include "file_bytes.h"
#include "page_conversion.h"
#include "pe_certificate.h"
#include "pe_image.h"
#include "picture_inputs.h"
#include "text_encoding.h"

#include <filesystem>
#include <new>
#include <iostream>

namespace {

struct Setting {
    const char* option;
    uint32_t CollectionSettings::*field;
    uint32_t defaultValue;
};

const Setting kSettings[] = {
    {"--caption", &CollectionSettings::captionFlag, 1},
    {"--comment-box", &CollectionSettings::commentFlag, 0xFFFFFFFFu},
    {"--menu-bar", &CollectionSettings::menuBarFlag, 1},
    {"--mouse", &CollectionSettings::mouseMode, 1},
};

int fail(const std::string& message, int status = 1) {
    std::cerr << "edamiru-book make: " << message << "\n";
    return status;
}

bool convertText(const Arguments& args, const char* option, std::string& out, std::string& error) {
    auto it = args.values.find(option);
    if (it == args.values.end()) return true;
    if (utf8ToShiftJis(it->second, out)) return true;
    error = std::string(option) + " \"" + it->second + "\" cannot be written in Shift-JIS";
    return false;
}

// The settings given override those of `s` (the defaults, or the old book's).
bool readSettings(const Arguments& args, CollectionSettings& s, std::string& error) {
    for (const Setting& setting : kSettings) {
        auto it = args.values.find(setting.option);
        if (it != args.values.end() && !parseSetting(it->second, s.*setting.field)) {
            error = std::string(setting.option) + " needs a 32-bit number, not \"" + it->second + "\"";
            return false;
        }
    }
    auto it = args.values.find("--interval");
    if (it == args.values.end()) return true;
    uint32_t interval = 0;
    if (!parseSetting(it->second, interval)) {
        error = "--interval needs a 32-bit number, not \"" + it->second + "\"";
        return false;
    }
    s.intervalSeconds = int32_t(interval);
    return true;
}

CollectionSettings defaultSettings() {
    CollectionSettings s;
    for (const Setting& setting : kSettings) s.*setting.field = setting.defaultValue;
    s.intervalSeconds = 0;
    return s;
}

// "--fit 1024x768": both sides at least 1.
bool parseFit(const std::string& text, PageOptions& options) {
    const size_t x = text.find_first_of("xX");
    uint32_t w = 0, h = 0;
    if (x == std::string::npos || !parsePage(text.substr(0, x), w) || !parsePage(text.substr(x + 1), h)) return false;
    options.fitWidth = w;
    options.fitHeight = h;
    return true;
}

// The viewer must be a program with nothing behind its image but its signature, which is dropped
// (and said so): the book is to be signed once finished.
bool prepareViewer(const std::string& path, std::vector<uint8_t>& viewer, std::string& error) {
    uint64_t end = 0;
    if (!peImageFileEnd(viewer.data(), viewer.size(), end)) {
        error = "not a 32-bit Windows program: " + path;
        return false;
    }
    if (end < viewer.size()) {
        if (uint32_t dropped = dropCertificateTable(viewer)) {
            std::cout << "dropped the signature of " << path << " (" << dropped
                      << " bytes): sign the finished book instead\n";
            return true;
        }
        error = path + " already carries " + std::to_string(viewer.size() - end) +
                " bytes behind its program image (is it a picture book?)";
        return false;
    }
    if (end > viewer.size()) {
        error = path + " is cut short: its headers describe " + std::to_string(end) + " bytes, the file has " +
                std::to_string(viewer.size());
        return false;
    }
    return true;
}

bool samePath(const std::string& a, const std::string& b) {
    std::error_code ignored;
    return std::filesystem::equivalent(std::filesystem::u8path(a), std::filesystem::u8path(b), ignored);
}

// One page to store: the bytes of a picture file, or of an old book's page, and where it came from.
struct PageSource {
    std::vector<uint8_t> bytes;
    std::string name;
};

bool readPictureFiles(const std::vector<std::string>& paths, std::vector<PageSource>& pages, std::string& error) {
    for (const std::string& path : paths) {
        pages.push_back(PageSource{{}, path});
        if (!readFileBytes(path, pages.back().bytes, error)) return false;
    }
    return true;
}

// Every page as the viewer will show it right (or as it is, with --as-is), one line for each
// that is converted. False when a page cannot be made into one the viewer shows.
bool preparePages(std::vector<PageSource>& pages, const PageOptions& options,
                  std::vector<std::vector<uint8_t>>& records, std::string& error) {
    for (size_t i = 0; i < pages.size(); ++i) {
        PreparedPage page;
        try {
            page = preparePage(pages[i].bytes, options);
        } catch (const std::bad_alloc&) {
            page = PreparedPage{PageOutcome::Refused, {}, "too large to convert in memory"};
        }
        const std::string where = "page " + std::to_string(i + 1) + " (" + pages[i].name + ")";
        if (page.outcome == PageOutcome::Refused) {
            error = where + ": " + page.note + "; nothing written";
            return false;
        }
        if (page.outcome == PageOutcome::Converted) std::cout << where << ": " << page.note << "\n";
        if (options.asIs && pictureKind(page.bytes.data(), page.bytes.size()) == PictureKind::NotDisplayable) {
            std::cerr << "edamiru-book make: warning: " << where
                      << " is neither BMP nor JPEG; it is stored, but the viewer cannot show it\n";
        }
        std::vector<uint8_t>().swap(pages[i].bytes);
        records.emplace_back();
        if (!entryRecordBytes(page.bytes, records.back())) {
            error = where + " is larger than 4 GiB - 1";
            return false;
        }
    }
    return true;
}

// The texts, settings and pages of an existing book, which the options given then override.
bool readOldBook(const std::string& path, CollectionHeader& header, std::vector<PageSource>& pages,
                 std::string& error) {
    Book book;
    if (!readBookFile(path, book, error)) return false;
    if (book.completeEntries < book.header.settings.entryCount) {
        error = path + " is cut short: only " + std::to_string(book.completeEntries) + " of its " +
                std::to_string(book.header.settings.entryCount) + " pages are whole";
        return false;
    }
    header = book.header;
    for (uint32_t i = 0; i < book.completeEntries; ++i)
        pages.push_back(PageSource{std::move(book.entries[i].data), "page " + std::to_string(i + 1) + " of " + path});
    return true;
}

int writeBook(const std::string& out, const std::vector<uint8_t>& viewer, const std::vector<uint8_t>& header,
              const std::vector<std::vector<uint8_t>>& records) {
    std::vector<const std::vector<uint8_t>*> pieces{&viewer, &header};
    for (const std::vector<uint8_t>& record : records) pieces.push_back(&record);
    std::string error;
    if (!writeFileBytes(out, pieces, error)) {
        std::error_code ignored;
        std::filesystem::remove(std::filesystem::u8path(out), ignored);
        return fail(error);
    }
    std::cout << "wrote " << out << ": " << records.size() << (records.size() == 1 ? " page" : " pages")
              << " behind a program of " << viewer.size()
              << " bytes\n";
    return 0;
}

}  // namespace

int makeCommand(int argc, char** argv) {
    Arguments args = parseArguments(argc, argv,
                                    {"--viewer", "--out", "--title", "--comment", "--link", "--caption",
                                     "--comment-box", "--menu-bar", "--interval", "--mouse", "--fit", "--from"},
                                    {"--as-is", "--lossless"});
    if (args.error.empty() && (!args.has("--viewer") || !args.has("--out"))) args.error = "--viewer and --out are needed";
    if (args.error.empty() && args.positional.empty() && !args.has("--from")) args.error = "no pictures given";
    PageOptions options;
    options.asIs = args.flags.count("--as-is") != 0;
    options.lossless = args.flags.count("--lossless") != 0;
    if (args.error.empty() && args.has("--fit") && !parseFit(args.values["--fit"], options))
        args.error = "--fit needs WIDTHxHEIGHT, not \"" + args.values["--fit"] + "\"";
    if (!args.error.empty()) return fail(args.error, 2);

    CollectionHeader header;
    header.settings = defaultSettings();
    std::vector<PageSource> pages;
    std::string error;
    if (args.has("--from") && !readOldBook(args.values["--from"], header, pages, error)) return fail(error);
    if (!readSettings(args, header.settings, error)) return fail(error, 2);
    if (!convertText(args, "--title", header.title, error) || !convertText(args, "--comment", header.comment, error) ||
        !convertText(args, "--link", header.linkText, error)) {
        return fail(error);
    }
    std::vector<std::string> pictures;
    if (!expandPictureInputs(args.positional, pictures, error)) return fail(error);

    const std::string& viewerPath = args.values["--viewer"];
    const std::string& out = args.values["--out"];
    std::vector<uint8_t> viewer, headerBytes;
    std::vector<std::vector<uint8_t>> records;
    if (!readFileBytes(viewerPath, viewer, error) || !prepareViewer(viewerPath, viewer, error)) return fail(error);
    if (samePath(viewerPath, out)) return fail("--out must not be the viewer itself");
    if (args.has("--from") && samePath(args.values["--from"], out)) return fail("--out must not be the old book");
    if (!readPictureFiles(pictures, pages, error)) return fail(error);
    if (pages.empty()) return fail("the book has no pages");
    if (pages.size() > 0xFFFFFFFFu) return fail("too many pictures");
    header.settings.entryCount = uint32_t(pages.size());
    if (!collectionHeaderBytes(header, headerBytes)) return fail("a text holds a zero byte");
    if (!preparePages(pages, options, records, error)) return fail(error);
    return writeBook(out, viewer, headerBytes, records);
}
