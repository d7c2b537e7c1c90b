// Run-length compression of 8-bit BMP pixels (RLE8), for pictures of few colours.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// The RLE8 commands of `height` rows of `width` indexes (bottom row first, rows `pitch` bytes
// apart): encoded runs of repeated indexes, absolute runs of three or more that do not repeat,
// an end of line after every row but the last and an end of bitmap.
std::vector<uint8_t> encodeRle8(const uint8_t* bottomRow, size_t pitch, uint32_t width, uint32_t height);
