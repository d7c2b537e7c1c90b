// Expansion of run-length compressed BMP pixels (RLE8 and RLE4) into an uncompressed bitmap.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr uint32_t kRle8 = 1;
constexpr uint32_t kRle4 = 2;

// Expands the commands in `source` (`sourceLength` bytes) into `destination`, the bottom row of a
// bottom-up bitmap of `rowPitch` bytes a row that holds `capacity` bytes. `kind` is kRle8 or kRle4;
// any other kind returns 0 and writes nothing. Otherwise returns 1 when the expansion stops:
//  - at the end-of-bitmap command;
//  - when the output position reaches `capacity` (nothing is ever written at or beyond it);
//  - when the data ends, also in the middle of a command or of an absolute run: the pixels
//    written so far stay.
// Runs are not cut at the end of a row: the output runs on into the next row. End of line moves
// to the start of the row after the current one, where rows are counted by end-of-line and delta
// commands. A delta (0, 2, dx, dy) moves dx pixels to the right and dy rows up the picture.
// RLE4 pixels fill the high nibble of a byte first; an odd run leaves the next one to continue in
// the low nibble.
int expandRle(uint32_t kind, const uint8_t* source, size_t sourceLength, uint8_t* destination,
              size_t capacity, size_t rowPitch);
