// Dispatch of edamiru-book's subcommands.
#include "commands.h"
#include "dropped_book.h"
#include "edamiru_version.h"
#include "viewer_beside_tool.h"

#include <cstring>
#include <iostream>
#include <string>
#include <vector>

namespace {

const char kUsage[] =
    "usage:\n"
    "  edamiru-book make --viewer VIEWER.exe --out BOOK.exe [--from OLD.exe] [--title T] [--comment C]\n"
    "                    [--link L] [--caption N] [--comment-box N] [--menu-bar N] [--interval N]\n"
    "                    [--mouse N] [--as-is] [--lossless] [--fit WxH] PICTURE-OR-FOLDER...\n"
    "  edamiru-book check BOOK.exe\n"
    "  edamiru-book list BOOK.exe [--json]\n"
    "  edamiru-book extract BOOK.exe --to DIR [--page N]\n"
    "  edamiru-book render INPUT OUT.bmp [--page N] [--screen-depth 24|8]\n"
    "  edamiru-book PICTURE-OR-FOLDER...   (as when they are dropped onto the tool: a book beside\n"
    "                    the first, titled after its folder, from the edamiru.exe beside the tool)\n"
    "  edamiru-book --version\n";

}  // namespace

int runTool(int argc, char** argv) {
    if (argc >= 2) {
        const char* name = argv[1];
        if (std::strcmp(name, "make") == 0) return makeCommand(argc - 1, argv + 1);
        if (std::strcmp(name, "check") == 0) return checkCommand(argc - 1, argv + 1);
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
        // Pictures or a folder dropped onto the tool arrive as its only arguments.
        if (namesExistingPath(name))
            return dropCommand(std::vector<std::string>(argv + 1, argv + argc), viewerBesideTool());
        std::cerr << "unknown command: " << name << "\n";
    }
    std::cerr << kUsage;
    return 2;
}
