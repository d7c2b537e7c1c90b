// Walking Shift-JIS (code page 932) text by whole characters.
#pragma once
#include <cstddef>
#include <string>

// True for the first byte of a double-byte character (0x81-0x9F, 0xE0-0xFC).
bool isShiftJisLeadByte(unsigned char byte);

// True for a byte that may follow a lead byte (0x40-0x7E, 0x80-0xFC).
bool isShiftJisTrailByte(unsigned char byte);

// Length (1 or 2) of the character at `pos`. A lead byte counts as a double-byte character only
// when a valid trail byte follows it; otherwise it stands alone, so that no byte after it
// (a '/' for instance) can hide inside a broken pair.
size_t shiftJisCharLength(const std::string& text, size_t pos);
