// Where a 32-bit Windows program file ends, read from its PE headers: the place where an
// appended collection begins (`collectionStart`).
#pragma once
#include <cstddef>
#include <cstdint>

// What the headers say about the extent of the file.
struct PeLayout {
    uint64_t sectionsEnd = 0;        // max(SizeOfHeaders, PointerToRawData + SizeOfRawData)
    uint32_t symbolTable = 0;        // PointerToSymbolTable (0: none)
    uint32_t symbolCount = 0;        // NumberOfSymbols
    uint64_t checkSumAt = 0;         // file offset of the optional header's CheckSum
    uint64_t certificateEntryAt = 0; // file offset of the security directory entry (0: none in the headers)
    uint32_t certificateOffset = 0;  // the entry's file offset of the certificate table
    uint32_t certificateSize = 0;    // the entry's size of the table (0: not signed)
    uint64_t stringTableOffset() const { return uint64_t(symbolTable) + 18ull * symbolCount; }
};

// Reads the DOS header, the PE signature, the file header, the PE32 optional header (with the
// security directory entry when it has one) and the section table from the first `size` bytes. False when they are not there or not a 32-bit
// program's headers. Every read is checked against `size`.
bool readPeLayout(const uint8_t* headers, size_t size, PeLayout& layout);

// The end of the file as built: the layout's sections end and, when a COFF symbol table is
// present, the symbol table and the string table behind it. `stringTableLength` is the 4-byte
// length found at stringTableOffset(), or null when it could not be read: then only the symbol
// table is counted.
uint64_t peFileEnd(const PeLayout& layout, const uint32_t* stringTableLength);

// readPeLayout and peFileEnd together: false when the headers cannot be read.
bool peImageFileEnd(const uint8_t* headers, size_t size, uint64_t& end);
