// The BMP file of the picture as shown (the wallpaper file of a JPEG page, and what `render` writes).
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/bitmap_info.h"

// Builds the file bytes of `writePictureBmp`: a 14-byte file header; a 40-byte header taken from
// `info` with width `pictureWidth`, height `pictureHeight`, image size pictureWidth · pictureHeight
// (a pixel count, whatever the depth; saturated at 2^32 - 1) and colours used cut to n; the first
// n colour entries of `info` (n = 2, 16, 256 for 1, 4, 8 bits, else 0; reserved bytes written
// as 0); and pictureHeight rows of rowPitch(pictureWidth, depth) bytes, bottom row first.
// `pixels` is the bitmap of `info`'s depth with `pitch` bytes a row and `bitmapHeight` rows; its
// bottom bitmapHeight - pictureHeight rows and the columns right of the picture are left out.
// Returns false (and leaves `file` empty) when no bitmap of that size and depth can be made,
// when the picture is larger than the bitmap holding it, or when the file does not fit in memory.
bool writePictureBmp(const BitmapInfo& info, uint32_t pictureWidth, uint32_t pictureHeight,
                     const uint8_t* pixels, size_t pitch, uint32_t bitmapHeight, std::vector<uint8_t>& file);
