// Dispatch of edamiru-book's subcommands.
#include "commands.h"
#include "edamiru_version.h"

#include <cstring>
#include <iostream>

namespace {

const char kUsage[] =
    "usage:\n"
    "  edamiru-book make --viewer VIEWER.exe --out BOOK.exe [--title T] [--comment C] [--link L]\n"
    "                    [--caption N] [--comment-box N] [--menu-bar N] [--interval N] [--mouse N]\n"
    "                    PICTURE...\n"
    "  edamiru-book list BOOK.exe [--json]\n"
    "  edamiru-book extract BOOK.exe --to DIR [--page N]\n"
    "  edamiru-book render INPUT OUT.bmp [--page N] [--screen-depth 24|8]\n"
    "  edamiru-book --version\n";

}  // namespace

int runTool(int argc, char** argv) {
    if (argc >= 2) {
        const char* name = argv[1];
        if (std::strcmp(name, "make") == 0) return makeCommand(argc - 1, argv + 1);
        if (std::strcmp(name, "list") == 0) return listCommand(argc - 1, argv + 1);
        if (std::strcmp(name, "extract") == 0) return extractCommand(argc - 1, argv + 1);
        if (std::strcmp(name, "render") == 0) return renderCommand(argc - 1, argv + 1);
        if (std::strcmp(name, "--version") == 0) {
            std::cout << "edamiru-book " EDAMIRU_VERSION_TEXT "\n";
            return 0;
        }
        if (std::strcmp(name, "--help") == 0 || std::strcmp(name, "help") == 0) {
            std::cout << kUsage;
            return 0;
        }
        std::cerr << "unknown command: " << name << "\n";
    }
    std::cerr << kUsage;
    return 2;
}
