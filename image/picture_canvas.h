// Where the page road (showEntry, loadBmpPicture, loadJpegPicture) puts a picture. The road
// sets the bitmap's description and the size shown; the canvas makes the bitmap memory, keeps
// the palette the picture is shown through, knows the screen's depth and where the JPEG
// decoder's messages go. The viewer's canvas is a bitmap section with a window palette; the
// memory canvas (ShownPicture) a buffer.
#pragma once
#include <cstddef>
#include <cstdint>

#include "image/bitmap_info.h"

struct HalftonePalette;
class JpegMessages;

class PictureCanvas {
public:
    virtual ~PictureCanvas() = default;

    // Header and colour table of the picture's bitmap: bottom-up, uncompressed. Its width and
    // height are the bitmap's (for a JPEG rounded up to whole MCUs).
    BitmapInfo bitmapInfo{};
    uint32_t pictureWidth = 0;   // the size as shown, at the top left of the bitmap
    uint32_t pictureHeight = 0;
    bool reduced = false;        // shown smaller than the picture is, to fit the screen

    // Bits per pixel of the screen; on 8 bits 24-bit pictures are dithered to the halftone palette.
    virtual int screenBitsPerPixel() const = 0;

    // The picture's bitmap goes; there is none until the next is made.
    virtual void dropBitmap() = 0;

    // Makes a zero-filled, bottom-up bitmap as `info` describes and returns its pixel memory
    // (bottom row first), setting `pitch` to its bytes per row; null when it cannot be made, and
    // the picture's bitmap stays as it was. A made bitmap becomes the picture's; the one it
    // replaces stays readable until dropReplacedBitmap().
    virtual uint8_t* makeBitmap(const BitmapInfo& info, size_t& pitch) = 0;
    virtual void dropReplacedBitmap() = 0;

    // The screen's halftone palette, made afresh, becomes the one the picture is shown through.
    // Returns it with its cube table for the dither; null when it cannot be made.
    virtual const HalftonePalette* useHalftonePalette() = 0;

    // The picture is shown through the first `n` colours of bitmapInfo's colour table (at most
    // 256), or through no palette of its own for n = 0. False when that palette cannot be made.
    virtual bool useColourTablePalette(uint32_t n) = 0;

    // Where the JPEG decoder's message boxes and caption texts go; null: nowhere.
    virtual JpegMessages* jpegMessages() = 0;
};
