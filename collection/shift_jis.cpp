// Walking Shift-JIS (code page 932) text by whole characters.
#include "shift_jis.h"

bool isShiftJisLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool isShiftJisTrailByte(unsigned char byte) {
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

size_t shiftJisCharLength(const std::string& text, size_t pos) {
    if (pos + 1 < text.size() && isShiftJisLeadByte(static_cast<unsigned char>(text[pos])) &&
        isShiftJisTrailByte(static_cast<unsigned char>(text[pos + 1]))) {
        return 2;
    }
    return 1;
}
