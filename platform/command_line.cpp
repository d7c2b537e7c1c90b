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

std::wstring pathOfArguments(const std::wstring& arguments) {
    if (arguments.empty() || arguments[0] != L'"') return arguments;
    std::wstring first;
    size_t at = 0;
    for (bool isFirst = true; at < arguments.size(); isFirst = false) {
        if (arguments[at] != L'"') return arguments;
        const size_t close = arguments.find(L'"', at + 1);
        if (close == std::wstring::npos) return arguments;
        if (isFirst) first = arguments.substr(1, close - 1);
        at = close + 1;
        if (at < arguments.size() && !isBlank(arguments[at])) return arguments;
        while (at < arguments.size() && isBlank(arguments[at])) ++at;
    }
    return first.empty() ? arguments : first;
}

std::wstring programArguments() { return argumentsOfCommandLine(GetCommandLineW()); }
