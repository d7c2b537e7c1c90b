// Ordered 8 x 8 dither of 24-bit pixels to the entries of a halftone palette.
#pragma once
#include <cstdint>

// Reduces `height` rows of `width` pixels (blue, green, red; rows bottom-up, padded to 4 bytes)
// to one palette index per pixel in `destination` (rows padded to 4 bytes), using `cubeTable`
// (216 entries, see `cubeToPalette`) for the palette entry of each colour-cube index.
// The source rows hold sourceBitsPerPixel / 8 bytes per pixel, of which the first three are used;
// the program calls it with 24. The caller provides rowPitch(width, sourceBitsPerPixel) · height
// source bytes and rowPitch(width, 8) · height destination bytes. Padding bytes are not written.
void ditherToHalftone(const uint8_t* source, uint8_t* destination, uint32_t width, uint32_t height,
                      uint32_t sourceBitsPerPixel, const uint8_t* cubeTable);
