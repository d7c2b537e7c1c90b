// A minimal 32-bit Windows program file built in memory for tests.
#include "synthetic_pe.h"

#include "pe_checksum.h"

namespace {

void put16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}

void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
}

void growTo(std::vector<uint8_t>& b, uint64_t size) {
    if (b.size() < size) b.resize(size, 0);
}

}  // namespace

std::vector<uint8_t> buildSyntheticPe(const SyntheticPe& pe) {
    const size_t fileHeader = kSyntheticPeOffset + 4, optional = fileHeader + 20, optionalSize = 0xE0;
    const size_t sectionTable = optional + optionalSize;
    std::vector<uint8_t> b(sectionTable + 40 * pe.sections.size(), 0);
    b[0] = 'M';
    b[1] = 'Z';
    put32(b, 0x3C, kSyntheticPeOffset);
    b[kSyntheticPeOffset] = 'P';
    b[kSyntheticPeOffset + 1] = 'E';
    put16(b, fileHeader, 0x14C);
    put16(b, fileHeader + 2, uint16_t(pe.sections.size()));
    put32(b, fileHeader + 8, pe.symbolTable);
    put32(b, fileHeader + 12, pe.symbolCount);
    put16(b, fileHeader + 16, optionalSize);
    put16(b, fileHeader + 18, 0x0102);
    put16(b, optional, pe.magic);
    put32(b, optional + 32, 0x1000);  // SectionAlignment
    put32(b, optional + 36, 0x200);   // FileAlignment
    put32(b, optional + 60, pe.sizeOfHeaders);
    put32(b, optional + 92, 16);      // NumberOfRvaAndSizes
    for (size_t i = 0; i < pe.sections.size(); ++i) {
        size_t s = sectionTable + 40 * i;
        b[s] = '.';
        b[s + 1] = 't';
        put32(b, s + 8, pe.sections[i].rawSize);
        put32(b, s + 12, uint32_t(0x1000 * (i + 1)));
        put32(b, s + 16, pe.sections[i].rawSize);
        put32(b, s + 20, pe.sections[i].rawPointer);
    }
    growTo(b, pe.sizeOfHeaders);
    for (const SyntheticSection& s : pe.sections) {
        growTo(b, uint64_t(s.rawPointer) + s.rawSize);
        for (uint32_t i = 0; i < s.rawSize; ++i) b[s.rawPointer + i] = uint8_t(0x90 + i % 7);
    }
    if (pe.symbolTable != 0) {
        uint64_t strings = uint64_t(pe.symbolTable) + 18ull * pe.symbolCount;
        growTo(b, strings + (pe.stringTableLength < 4 ? 4 : pe.stringTableLength));
        put32(b, strings, pe.stringTableLength);
    }
    if (pe.certificateSize != 0) {
        uint32_t at = uint32_t(b.size());
        put32(b, optional + 96 + 4 * 8, at);  // security directory: file offset and size
        put32(b, optional + 96 + 4 * 8 + 4, pe.certificateSize);
        b.resize(at + pe.certificateSize, 0x5A);
        put32(b, at, pe.certificateSize);     // WIN_CERTIFICATE's dwLength
    }
    put32(b, optional + 64, peCheckSum(b.data(), b.size(), optional + 64));  // as linkers and signers do
    return b;
}
