// Where a 32-bit Windows program file ends, read from its PE headers.
#include "pe_image.h"

namespace {

const uint32_t kFileHeaderSize = 20;
const uint32_t kSectionHeaderSize = 40;
const uint16_t kPe32Magic = 0x10B;
// In the PE32 optional header: CheckSum, NumberOfRvaAndSizes and the data directories (8 bytes
// each), of which the fifth (index 4) locates the certificate table by file offset.
const uint32_t kCheckSumField = 64;
const uint32_t kDirectoryCountField = 92;
const uint32_t kDirectories = 96;
const uint32_t kSecurityDirectory = 4;

bool inBounds(uint64_t offset, uint64_t length, size_t size) {
    return offset <= size && length <= size - offset;
}

uint16_t u16At(const uint8_t* p, uint64_t offset) {
    return static_cast<uint16_t>(p[offset] | (p[offset + 1] << 8));
}

uint32_t u32At(const uint8_t* p, uint64_t offset) {
    return static_cast<uint32_t>(p[offset]) | (static_cast<uint32_t>(p[offset + 1]) << 8) |
           (static_cast<uint32_t>(p[offset + 2]) << 16) | (static_cast<uint32_t>(p[offset + 3]) << 24);
}

// Offset of the file header behind "PE\0\0", or 0 when the signatures are wrong.
uint64_t fileHeaderOffset(const uint8_t* p, size_t size) {
    if (!inBounds(0, 0x40, size) || p[0] != 'M' || p[1] != 'Z') return 0;
    uint64_t pe = u32At(p, 0x3C);
    if (!inBounds(pe, 4 + kFileHeaderSize, size)) return 0;
    if (p[pe] != 'P' || p[pe + 1] != 'E' || p[pe + 2] != 0 || p[pe + 3] != 0) return 0;
    return pe + 4;
}

}  // namespace

bool readPeLayout(const uint8_t* headers, size_t size, PeLayout& layout) {
    if (headers == nullptr) return false;
    uint64_t fileHeader = fileHeaderOffset(headers, size);
    if (fileHeader == 0) return false;
    uint16_t sectionCount = u16At(headers, fileHeader + 2);
    uint16_t optionalSize = u16At(headers, fileHeader + 16);
    uint64_t optional = fileHeader + kFileHeaderSize;
    // SizeOfHeaders is at offset 60 of the optional header.
    if (optionalSize < 64 || !inBounds(optional, optionalSize, size)) return false;
    if (u16At(headers, optional) != kPe32Magic) return false;
    uint64_t sections = optional + optionalSize;
    if (!inBounds(sections, uint64_t(sectionCount) * kSectionHeaderSize, size)) return false;

    layout.sectionsEnd = u32At(headers, optional + 60);
    for (uint16_t i = 0; i < sectionCount; ++i) {
        uint64_t section = sections + uint64_t(i) * kSectionHeaderSize;
        uint64_t rawSize = u32At(headers, section + 16);
        uint64_t rawPointer = u32At(headers, section + 20);
        if (rawSize != 0 && rawPointer + rawSize > layout.sectionsEnd) layout.sectionsEnd = rawPointer + rawSize;
    }
    layout.checkSumAt = optional + kCheckSumField;
    uint64_t entry = optional + kDirectories + kSecurityDirectory * 8;
    if (entry + 8 <= sections && u32At(headers, optional + kDirectoryCountField) > kSecurityDirectory) {
        layout.certificateEntryAt = entry;
        layout.certificateOffset = u32At(headers, entry);
        layout.certificateSize = u32At(headers, entry + 4);
    }
    layout.symbolTable = u32At(headers, fileHeader + 8);
    layout.symbolCount = u32At(headers, fileHeader + 12);
    return true;
}

uint64_t peFileEnd(const PeLayout& layout, const uint32_t* stringTableLength) {
    if (layout.symbolTable == 0) return layout.sectionsEnd;
    uint64_t end = layout.stringTableOffset();
    if (stringTableLength != nullptr) end += *stringTableLength < 4 ? 4 : *stringTableLength;  // counts itself
    return end > layout.sectionsEnd ? end : layout.sectionsEnd;
}

bool peImageFileEnd(const uint8_t* headers, size_t size, uint64_t& end) {
    PeLayout layout;
    if (!readPeLayout(headers, size, layout)) return false;
    uint64_t at = layout.stringTableOffset();
    uint32_t length = 0;
    bool known = layout.symbolTable != 0 && inBounds(at, 4, size);
    if (known) length = u32At(headers, at);
    end = peFileEnd(layout, known ? &length : nullptr);
    return true;
}
