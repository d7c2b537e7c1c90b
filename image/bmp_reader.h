// Reading a BMP file held in memory (a collection entry or a whole file), in two steps so that the
// Windows program and the portable tools share it: parseBmp reads the headers and the colour table
// and decides how the pixels are read; then one fill step writes the pixels into memory that the
// caller made from the header (a bitmap section on Windows, a buffer elsewhere).
#pragma once
#include <cstddef>
#include <cstdint>

#include "image/bitmap_info.h"

// How the pixels are read: expanded from run-length data, dithered from 24 bits to the
// halftone palette (24-bit files on an 8-bit screen), or copied as stored.
enum class BmpRoad { RunLength, Dither, Plain };

struct BmpLayout {
    // Header and colour table of the bitmap to make, as read from the file: header size 40,
    // image size 0, compression 0 (the run-length road also clears colours important).
    // Entries beyond colourCount are zero. On the dither road the header still has 24 bits per
    // pixel: applyHalftonePalette (halftone_palette.h) turns it into the 8-bit target.
    BitmapInfo bitmapInfo{};
    uint32_t colourCount = 0;   // n: colour-table entries read from the file (for the window palette)
    BmpRoad road = BmpRoad::Plain;
    uint32_t rleKind = 0;       // the file's compression value on the run-length road
    uint32_t pixelOffset = 0;   // where the pixels start in the file

    uint32_t width() const { return static_cast<uint32_t>(bitmapInfo.header.width); }
    uint32_t height() const { return static_cast<uint32_t>(bitmapInfo.header.height); }
    // Bytes per row and in all of the bitmap made from bitmapInfo (8-bit on the dither road).
    size_t bitmapPitch() const;
    size_t bitmapBytes() const;
};

// Reads the file header, the information (40-byte) or core (12-byte) header and the colour table.
// False for every refusal: fewer than 54 bytes (14 + the 40 read before the header size is looked
// at), no "BM", a header size other than 40 or 12, a width or height of 0 or below, a colour table
// that ends beyond the data, a depth no bitmap can be made with (other than 1, 4, 8, 16, 24, 32),
// a bitmap of more than kMaxPixelBytes, and on the run-length road a pixel offset beyond the data.
// Colour count: the colours-used field, or 2/16/256 for 1/4/8 bits when it is 0; a count above
// what the depth can index (above 256 for any depth) is cut to that many, and the header's
// colours-used field with it, so the 256-entry table and a logical palette never overflow.
bool parseBmp(const uint8_t* data, size_t length, int screenBitsPerPixel, BmpLayout& layout);

// Plain road: copies the stored rows from the pixel offset into `pixels` (`pitch` bytes a row,
// `capacity` bytes). True when all rows were there; after a short read the rows that were
// there are written and the rest is left as it was. False without writing when `pitch` or
// `capacity` do not fit the layout.
bool fillPlainPixels(const uint8_t* data, size_t length, const BmpLayout& layout, uint8_t* pixels,
                     size_t pitch, size_t capacity);

// Dither road: dithers the 24-bit rows at the pixel offset into the 8-bit `pixels` with
// `cubeTable`. Rows that the data does not hold are dithered from black, and the result is then
// false, as on the plain road; true when all rows were there. Also false, writing nothing, when
// the 24-bit rows cannot be held in memory.
bool fillDitheredPixels(const uint8_t* data, size_t length, const BmpLayout& layout,
                        const uint8_t* cubeTable, uint8_t* pixels, size_t pitch, size_t capacity);

// Run-length road: `expandRle` of the data from the pixel offset to the end into `pixels`,
// which must start zeroed. Returns its result (0 for a compression other than RLE8 and RLE4).
int fillRunLengthPixels(const uint8_t* data, size_t length, const BmpLayout& layout, uint8_t* pixels,
                        size_t pitch, size_t capacity);
