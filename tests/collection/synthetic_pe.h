// A minimal 32-bit Windows program file built in memory for tests: DOS header, PE headers and
// a section table whose sections are filled with a byte pattern.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct SyntheticSection {
    uint32_t rawPointer;
    uint32_t rawSize;
};

struct SyntheticPe {
    uint32_t sizeOfHeaders = 0x200;
    std::vector<SyntheticSection> sections{{0x200, 0x200}};
    uint32_t symbolTable = 0;       // PointerToSymbolTable
    uint32_t symbolCount = 0;       // NumberOfSymbols
    uint32_t stringTableLength = 4; // written at symbolTable + 18 * symbolCount when symbolTable != 0
    uint16_t magic = 0x10B;
    uint32_t certificateSize = 0;   // a certificate table of this size (0 or at least 4) at the end
};

// The file bytes: headers, then zero-filled space up to the end of the last section (and the
// symbol and string tables when asked for, and the certificate table with its directory entry),
// with the header checksum of the whole file.
std::vector<uint8_t> buildSyntheticPe(const SyntheticPe& pe = SyntheticPe());

// Offset of the PE signature in files made by buildSyntheticPe.
constexpr uint32_t kSyntheticPeOffset = 0x40;
