// Dialog templates in both layouts: DLGTEMPLATE (style first) and DLGTEMPLATEEX (version 1,
// 0xFFFF). Every read is checked against the template's size.
#include "dialog_template_copy.h"

#include <algorithm>
#include <cstring>

namespace {

bool isExtended(const std::vector<uint8_t>& bytes) {
    return bytes.size() >= 4 && bytes[0] == 1 && bytes[1] == 0 && bytes[2] == 0xFF && bytes[3] == 0xFF;
}

size_t styleOffset(const std::vector<uint8_t>& bytes) { return isExtended(bytes) ? 12 : 0; }

bool readWord(const std::vector<uint8_t>& bytes, size_t at, WORD& value) {
    if (at > bytes.size() || bytes.size() - at < 2) return false;
    std::memcpy(&value, &bytes[at], 2);
    return true;
}

// Moves `at` past a zero-terminated UTF-16 string.
bool skipString(const std::vector<uint8_t>& bytes, size_t& at) {
    WORD c;
    do {
        if (!readWord(bytes, at, c)) return false;
        at += 2;
    } while (c != 0);
    return true;
}

// Moves `at` past a field that is empty (0), a number (0xFFFF and a word) or a string.
bool skipNameOrNumber(const std::vector<uint8_t>& bytes, size_t& at) {
    WORD first;
    if (!readWord(bytes, at, first)) return false;
    if (first == 0xFFFF) {
        at += 4;
        return at <= bytes.size();
    }
    return skipString(bytes, at);
}

// Where the face name starts and where the zero after it ends.
bool findFace(const std::vector<uint8_t>& bytes, size_t& faceStart, size_t& faceEnd) {
    bool extended = isExtended(bytes);
    DWORD style;
    size_t at = styleOffset(bytes);
    if (bytes.size() < at + 4) return false;
    std::memcpy(&style, &bytes[at], sizeof style);
    if ((style & DS_SETFONT) == 0) return false;
    at = extended ? 26 : 18;  // the fixed header: styles, item count, place and size
    if (!skipNameOrNumber(bytes, at) || !skipNameOrNumber(bytes, at) || !skipString(bytes, at)) return false;
    at += extended ? 6 : 2;  // point size (and weight, italic, character set)
    faceStart = at;
    if (!skipString(bytes, at)) return false;
    faceEnd = at;
    return true;
}

size_t alignedToDword(size_t offset) { return (offset + 3) & ~static_cast<size_t>(3); }

}  // namespace

bool loadDialogTemplate(UINT templateId, std::vector<uint8_t>& bytes) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(templateId), MAKEINTRESOURCEW(5));  // RT_DIALOG
    HGLOBAL loaded = found != nullptr ? LoadResource(instance, found) : nullptr;
    const uint8_t* data = loaded != nullptr ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
    DWORD size = found != nullptr ? SizeofResource(instance, found) : 0;
    if (data == nullptr || size == 0) return false;
    bytes.assign(data, data + size);
    return true;
}

bool hideDialogTemplate(std::vector<uint8_t>& bytes) {
    size_t at = styleOffset(bytes);
    if (bytes.size() < at + 4) return false;
    DWORD style;
    std::memcpy(&style, &bytes[at], sizeof style);
    style &= ~static_cast<DWORD>(WS_VISIBLE);
    std::memcpy(&bytes[at], &style, sizeof style);
    return true;
}

bool dialogTemplateFace(const std::vector<uint8_t>& bytes, std::wstring& face) {
    size_t start, end;
    if (!findFace(bytes, start, end)) return false;
    face.clear();
    for (size_t at = start; at + 2 < end; at += 2) {
        WORD c = 0;
        readWord(bytes, at, c);
        face.push_back(static_cast<wchar_t>(c));
    }
    return true;
}

bool setDialogTemplateFace(std::vector<uint8_t>& bytes, const std::wstring& face) {
    size_t start, end;
    if (!findFace(bytes, start, end)) return false;
    // The controls start at the next DWORD boundary after the face name; moved by a multiple of
    // four bytes, their own alignment holds.
    size_t controls = std::min(alignedToDword(end), bytes.size());
    std::vector<uint8_t> rewritten(bytes.begin(), bytes.begin() + start);
    for (wchar_t c : face) {
        rewritten.push_back(static_cast<uint8_t>(c & 0xFF));
        rewritten.push_back(static_cast<uint8_t>((c >> 8) & 0xFF));
    }
    rewritten.insert(rewritten.end(), 2, 0);
    rewritten.resize(alignedToDword(rewritten.size()), 0);
    rewritten.insert(rewritten.end(), bytes.begin() + controls, bytes.end());
    bytes.swap(rewritten);
    return true;
}
