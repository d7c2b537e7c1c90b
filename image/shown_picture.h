// The picture as the viewer shows it, held in memory without a window: the memory canvas of the
// page road, filled by the same loaders (BMP and JPEG) as the viewer's window.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/bitmap_info.h"
#include "image/halftone_palette.h"
#include "image/picture_canvas.h"

class ShownPicture : public PictureCanvas {
public:
    // A picture for a screen of `screenBitsPerPixel` bits, dithered on 8 bits with `halftone`,
    // whose JPEG messages go to `messages` (null: nowhere).
    explicit ShownPicture(int screenBitsPerPixel = 24, JpegMessages* messages = nullptr,
                          const HalftonePalette& halftone = windowsHalftonePalette());

    std::vector<uint8_t> pixels;  // the bitmap's rows, bottom row first, pitch() bytes each; empty: no bitmap

    size_t pitch() const { return pitch_; }
    uint32_t bitmapHeight() const { return static_cast<uint32_t>(bitmapInfo.header.height); }
    bool hasBitmap() const { return !pixels.empty(); }

    int screenBitsPerPixel() const override { return screenBitsPerPixel_; }
    void dropBitmap() override;
    // Refuses what a bitmap section is refused for: a size or depth no bitmap has, a planes
    // field other than 1; and more than kMaxPixelBytes.
    uint8_t* makeBitmap(const BitmapInfo& info, size_t& pitch) override;
    void dropReplacedBitmap() override;
    // No palette of its own: the halftone given, and the colour table as it stands.
    const HalftonePalette* useHalftonePalette() override { return &halftone_; }
    bool useColourTablePalette(uint32_t) override { return true; }
    JpegMessages* jpegMessages() override { return messages_; }

private:
    int screenBitsPerPixel_;
    JpegMessages* messages_;
    HalftonePalette halftone_;
    size_t pitch_ = 0;
    std::vector<uint8_t> replaced_;
};

// Writes `picture` as the BMP file of the picture as shown (`writePictureBmp`); false when it
// has no bitmap or it cannot be written.
bool pictureFileBytes(const ShownPicture& picture, std::vector<uint8_t>& file);
