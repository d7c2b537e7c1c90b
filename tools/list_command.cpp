// edamiru-book list: the texts, settings and pages of a book, as text or as one JSON object.
#include "arguments.h"
#include "book_file.h"
#include "commands.h"
#include "json_text.h"
#include "text_encoding.h"

#include <iostream>

namespace {

struct Texts {
    std::string title, comment, link;
};

// The texts in UTF-8; bytes that are not Shift-JIS show as U+FFFD (with a warning).
Texts utf8Texts(const CollectionHeader& header) {
    Texts t;
    bool exact = shiftJisToUtf8(header.title, t.title);
    exact = shiftJisToUtf8(header.comment, t.comment) && exact;
    exact = shiftJisToUtf8(header.linkText, t.link) && exact;
    if (!exact) std::cerr << "edamiru-book list: warning: a text is not valid Shift-JIS (shown with U+FFFD)\n";
    return t;
}

void printJson(const Book& book, const Texts& t) {
    const CollectionSettings& s = book.header.settings;
    std::cout << "{\"title\":" << jsonString(t.title) << ",\"comment\":" << jsonString(t.comment)
              << ",\"link\":" << jsonString(t.link) << ",\"settings\":{\"caption\":" << s.captionFlag
              << ",\"commentBox\":" << s.commentFlag << ",\"menuBar\":" << s.menuBarFlag
              << ",\"interval\":" << s.intervalSeconds << ",\"mouse\":" << s.mouseMode << "},\"entries\":[";
    for (uint32_t i = 0; i < book.completeEntries; ++i) {
        std::cout << (i ? "," : "") << "{\"page\":" << i + 1 << ",\"size\":" << book.entries[i].data.size()
                  << ",\"tag\":" << jsonString(formatTagText(book.entries[i].formatTag)) << "}";
    }
    std::cout << "]}\n";
}

void printText(const Book& book, const Texts& t) {
    const CollectionSettings& s = book.header.settings;
    std::cout << "title:       " << t.title << "\n"
              << "comment:     " << t.comment << "\n"
              << "link:        " << t.link << "\n"
              << "caption:     " << s.captionFlag << "\n"
              << "comment box: " << s.commentFlag << "\n"
              << "menu bar:    " << s.menuBarFlag << "\n"
              << "interval:    " << s.intervalSeconds << "\n"
              << "mouse:       " << s.mouseMode << "\n"
              << "pages:       " << s.entryCount << "\n"
              << "page\tsize\ttag\n";
    for (uint32_t i = 0; i < book.completeEntries; ++i) {
        std::cout << i + 1 << "\t" << book.entries[i].data.size() << "\t" << formatTagText(book.entries[i].formatTag)
                  << "\n";
    }
}

}  // namespace

int listCommand(int argc, char** argv) {
    Arguments args = parseArguments(argc, argv, {}, {"--json"});
    if (args.error.empty() && args.positional.size() != 1) args.error = "one book file is needed";
    if (!args.error.empty()) {
        std::cerr << "edamiru-book list: " << args.error << "\n";
        return 2;
    }
    Book book;
    std::string error;
    if (!readBookFile(args.positional[0], book, error)) {
        std::cerr << "edamiru-book list: " << args.positional[0] << ": " << error << "\n";
        return 1;
    }
    Texts texts = utf8Texts(book.header);
    if (args.flags.count("--json")) printJson(book, texts);
    else printText(book, texts);
    if (book.completeEntries < book.header.settings.entryCount) {
        std::cerr << "edamiru-book list: " << args.positional[0] << ": truncated: page "
                  << book.completeEntries + 1 << " of " << book.header.settings.entryCount
                  << " is incomplete; only the complete pages are listed\n";
        return 1;
    }
    return 0;
}
