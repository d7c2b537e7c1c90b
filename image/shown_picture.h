// The picture as the viewer shows it, held in memory without a window: the portable counterpart
// of the window's picture state, filled by the same loaders (BMP and JPEG) as the viewer runs them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/bitmap_info.h"

struct ShownPicture {
    // Header and colour table of the bitmap: bottom-up, uncompressed. Its width and height are the
    // bitmap's (for a JPEG rounded up to whole MCUs).
    BitmapInfo bitmapInfo{};
    uint32_t pictureWidth = 0;   // the size as shown, at the top left of the bitmap
    uint32_t pictureHeight = 0;
    std::vector<uint8_t> pixels;  // the bitmap's rows, bottom row first, pitch() bytes each; empty: no bitmap

    size_t pitch() const;
    uint32_t bitmapHeight() const { return static_cast<uint32_t>(bitmapInfo.header.height); }
    bool hasBitmap() const { return !pixels.empty(); }
};

// Writes `picture` as the BMP file of the picture as shown (`writePictureBmp`); false when it
// has no bitmap or it cannot be written.
bool pictureFileBytes(const ShownPicture& picture, std::vector<uint8_t>& file);
