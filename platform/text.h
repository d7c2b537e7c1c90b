// Conversions between the program's Shift-JIS texts (code page 932) and the UTF-16 of the
// wide Win32 functions. Code page 932 is used whatever the system's ANSI code page is, so
// Japanese texts come out right on any Windows.
#pragma once
#include <string>

constexpr unsigned kShiftJisCodePage = 932;

// Shift-JIS bytes to UTF-16. Bytes that do not form a character become the replacement character.
std::wstring toWide(const std::string& shiftJis);

// UTF-16 to Shift-JIS. Characters that code page 932 lacks become '?'.
std::string toShiftJis(const std::wstring& wide);
