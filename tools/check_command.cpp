// edamiru-book check: every page of a book through the viewer's page road at both screen
// depths and its header features; one line for each page that would not show right.
#include <iostream>

#include "arguments.h"
#include "book_file.h"
#include "commands.h"
#include "page_check.h"

namespace {

const char* verdictText(PageVerdict verdict) {
    switch (verdict) {
    case PageVerdict::NotShown: return "not shown";
    case PageVerdict::PartlyShown: return "shown only partly";
    case PageVerdict::ShownWrong: return "shown wrong";
    case PageVerdict::Shows: break;
    }
    return "shown";
}

}  // namespace

int checkCommand(int argc, char** argv) {
    Arguments args = parseArguments(argc, argv, {}, {});
    if (args.error.empty() && args.positional.size() != 1) args.error = "one book is needed";
    if (!args.error.empty()) {
        std::cerr << "edamiru-book check: " << args.error << "\n";
        return 2;
    }
    const std::string& path = args.positional[0];
    Book book;
    std::string error;
    if (!readBookFile(path, book, error)) {
        std::cerr << "edamiru-book check: " << error << "\n";
        return 1;
    }
    uint32_t faults = 0;
    for (uint32_t i = 0; i < book.completeEntries; ++i) {
        const std::vector<uint8_t>& page = book.entries[i].data;
        const PageCheck check = checkPage(page.data(), page.size());
        if (check.verdict == PageVerdict::Shows) continue;
        std::cout << "page " << i + 1 << ": " << verdictText(check.verdict) << ": " << check.reason << "\n";
        ++faults;
    }
    if (book.completeEntries < book.header.settings.entryCount) {
        std::cout << "pages " << book.completeEntries + 1 << " to " << book.header.settings.entryCount
                  << ": missing: the book is cut short\n";
        ++faults;
    }
    if (faults == 0) std::cout << path << ": all " << book.completeEntries << " pages show right\n";
    return faults == 0 ? 0 : 1;
}
