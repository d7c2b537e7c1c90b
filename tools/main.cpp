// edamiru-book: makes, lists and extracts picture books. On Windows the arguments are taken from
// the wide command line and converted to UTF-8, so that every text and path arrives exactly, and
// output to a console is written as UTF-16 (console_output.h); on a console of its own, which
// closes when it ends, the output is shown in a message box instead (lone_console.h).
#include "commands.h"

#ifdef _WIN32
#include "console_output.h"
#include "lone_console.h"

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace {

std::string wideToUtf8(const wchar_t* text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return std::string();
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], size, nullptr, nullptr);
    out.resize(static_cast<size_t>(size - 1));
    return out;
}

}  // namespace

int main() {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) return 2;
    std::vector<std::string> args;
    for (int i = 0; i < count; ++i) args.push_back(wideToUtf8(wide[i]));
    LocalFree(wide);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(&arg[0]);
    argv.push_back(nullptr);
    if (startedOnConsoleOfItsOwn()) return runToolWithMessageBox(count, argv.data());
    return runToolOnStandardHandles(count, argv.data());
}

#else

int main(int argc, char** argv) { return runTool(argc, argv); }

#endif
