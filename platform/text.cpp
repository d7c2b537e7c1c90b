// Shift-JIS <-> UTF-16 through the system's code page 932 tables.
#include "text.h"

#include <windows.h>

std::wstring toWide(const std::string& shiftJis) {
    if (shiftJis.empty()) return std::wstring();
    const int inLength = static_cast<int>(shiftJis.size());
    int length = MultiByteToWideChar(kShiftJisCodePage, 0, shiftJis.data(), inLength, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(kShiftJisCodePage, 0, shiftJis.data(), inLength, &wide[0], length);
    return wide;
}

std::string toShiftJis(const std::wstring& wide) {
    if (wide.empty()) return std::string();
    const int inLength = static_cast<int>(wide.size());
    int length = WideCharToMultiByte(kShiftJisCodePage, 0, wide.data(), inLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return std::string();
    std::string bytes(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(kShiftJisCodePage, 0, wide.data(), inLength, &bytes[0], length, nullptr, nullptr);
    return bytes;
}
