// Conversion between UTF-8 (the tool's command line and output) and Shift-JIS, code page 932
// (the collection's texts).
#pragma once
#include <string>

// False when `utf8` is not valid UTF-8 or holds a character that Shift-JIS cannot hold
// (an emoji, for instance); nothing is substituted.
bool utf8ToShiftJis(const std::string& utf8, std::string& shiftJis);

// Always gives UTF-8; a byte sequence that is not valid Shift-JIS becomes U+FFFD, and the
// result is then false.
bool shiftJisToUtf8(const std::string& shiftJis, std::string& utf8);
