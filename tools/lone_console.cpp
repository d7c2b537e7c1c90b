#include "lone_console.h"

#include "commands.h"
#include "console_output.h"

#include <windows.h>

#include <algorithm>
#include <iostream>
#include <sstream>

namespace {

// Lines a message box shows before it grows taller than a screen.
constexpr size_t kBoxLines = 24;

std::wstring utf8ToWide(const std::string& text) {
    if (text.empty() || text.size() > 0x7FFFFFFF) return std::wstring();
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(size_t(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), &wide[0], length);
    return wide;
}

}  // namespace

bool outputWantsMessageBox(unsigned long consoleProcesses, bool outputToConsole) {
    return consoleProcesses == 1 && outputToConsole;
}

std::string lastLines(const std::string& text, size_t count) {
    std::string body = text;
    if (!body.empty() && body.back() == '\n') body.pop_back();
    const size_t lines = 1 + size_t(std::count(body.begin(), body.end(), '\n'));
    if (lines <= count) return body;
    const size_t leftOut = lines - std::max<size_t>(count, 1);
    size_t start = 0;
    for (size_t skipped = 0; skipped < leftOut; ++skipped) start = body.find('\n', start) + 1;
    return "(" + std::to_string(leftOut) + " earlier lines left out)\n" + body.substr(start);
}

bool startedOnConsoleOfItsOwn() {
    DWORD processes[2] = {};
    const DWORD count = GetConsoleProcessList(processes, 2);
    const bool toConsole =
        isConsole(GetStdHandle(STD_OUTPUT_HANDLE)) && isConsole(GetStdHandle(STD_ERROR_HANDLE));
    return outputWantsMessageBox(count, toConsole);
}

int runToolWithMessageBox(int argc, char** argv) {
    std::ostringstream said;
    std::streambuf* out = std::cout.rdbuf(said.rdbuf());
    std::streambuf* err = std::cerr.rdbuf(said.rdbuf());
    const int status = runTool(argc, argv);
    std::cout.rdbuf(out);
    std::cerr.rdbuf(err);
    const std::wstring text = utf8ToWide(lastLines(said.str(), kBoxLines));
    const UINT icon = status == 0 ? MB_ICONINFORMATION : MB_ICONERROR;
    MessageBoxW(nullptr, text.c_str(), L"edamiru-book", MB_OK | icon);
    return status;
}
