// Conversion between UTF-8 and Shift-JIS: the system's code page 932 on Windows, iconv elsewhere.
#include "text_encoding.h"

#ifdef _WIN32
#include "shift_jis.h"

#include <windows.h>

namespace {

std::wstring toWide(unsigned codePage, DWORD flags, const std::string& text, bool& ok) {
    ok = true;
    if (text.empty()) return std::wstring();
    int size = MultiByteToWideChar(codePage, flags, text.data(), int(text.size()), nullptr, 0);
    if (size <= 0) {
        ok = false;
        return std::wstring();
    }
    std::wstring out(size_t(size), L'\0');
    MultiByteToWideChar(codePage, flags, text.data(), int(text.size()), &out[0], size);
    return out;
}

std::string fromWide(unsigned codePage, DWORD flags, const std::wstring& text, BOOL* usedDefault) {
    if (text.empty()) return std::string();
    int size = WideCharToMultiByte(codePage, flags, text.data(), int(text.size()), nullptr, 0, nullptr,
                                   usedDefault);
    if (size <= 0) return std::string();
    std::string out(size_t(size), '\0');
    WideCharToMultiByte(codePage, flags, text.data(), int(text.size()), &out[0], size, nullptr, usedDefault);
    return out;
}

// Converts character by character; a character that is not valid Shift-JIS becomes U+FFFD.
std::wstring toWideReplacing(const std::string& text) {
    std::wstring out;
    for (size_t i = 0; i < text.size();) {
        size_t length = shiftJisCharLength(text, i);
        bool ok = false;
        std::wstring one = toWide(932, MB_ERR_INVALID_CHARS, text.substr(i, length), ok);
        out += ok ? one : std::wstring(1, wchar_t(0xFFFD));
        i += length;
    }
    return out;
}

}  // namespace

bool utf8ToShiftJis(const std::string& utf8, std::string& shiftJis) {
    bool ok = false;
    std::wstring wide = toWide(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, ok);
    if (!ok) return false;
    BOOL usedDefault = FALSE;
    shiftJis = fromWide(932, WC_NO_BEST_FIT_CHARS, wide, &usedDefault);
    return !usedDefault && (wide.empty() || !shiftJis.empty());
}

bool shiftJisToUtf8(const std::string& shiftJis, std::string& utf8) {
    bool ok = false;
    std::wstring wide = toWide(932, MB_ERR_INVALID_CHARS, shiftJis, ok);
    if (!ok) {
        utf8 = fromWide(CP_UTF8, 0, toWideReplacing(shiftJis), nullptr);
        return false;
    }
    utf8 = fromWide(CP_UTF8, 0, wide, nullptr);
    return true;
}

#else
#include <cerrno>
#include <iconv.h>

namespace {

// Runs iconv over `in`. On an invalid or unconvertible sequence: with `replacement` null, stops
// and gives false; otherwise appends the replacement, skips one byte and goes on (result false).
bool convert(const char* to, const char* from, const std::string& in, std::string& out,
             const char* replacement) {
    out.clear();
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    bool exact = true;
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char buffer[256];
    while (srcLeft > 0) {
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        size_t result = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer, size_t(dst - buffer));
        if (result != size_t(-1) || errno == E2BIG) continue;
        exact = false;
        if (replacement == nullptr) break;
        out.append(replacement);
        ++src;
        --srcLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    return exact;
}

}  // namespace

bool utf8ToShiftJis(const std::string& utf8, std::string& shiftJis) {
    return convert("CP932", "UTF-8", utf8, shiftJis, nullptr);
}

bool shiftJisToUtf8(const std::string& shiftJis, std::string& utf8) {
    return convert("UTF-8", "CP932", shiftJis, utf8, "\xEF\xBF\xBD");
}

#endif
