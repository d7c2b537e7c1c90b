// Splits the program's name off the raw command line, as the C runtime does for WinMain.
#include "command_line.h"

#include <windows.h>

namespace {
bool isBlank(wchar_t c) { return c == L' ' || c == L'\t'; }
}  // namespace

std::wstring argumentsOfCommandLine(const wchar_t* commandLine) {
    if (commandLine == nullptr) return std::wstring();
    const wchar_t* p = commandLine;
    if (*p == L'"') {
        ++p;
        while (*p != L'\0' && *p != L'"') ++p;
        if (*p == L'"') ++p;
    } else {
        while (*p != L'\0' && !isBlank(*p)) ++p;
    }
    while (isBlank(*p)) ++p;
    return std::wstring(p);
}

std::wstring programArguments() { return argumentsOfCommandLine(GetCommandLineW()); }
