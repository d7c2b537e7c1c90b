// The bitmap description shared by the picture state, the BMP reader and the BMP writer:
// a 40-byte information header and a 256-entry colour table, laid out exactly as the
// platform's BITMAPINFO with 256 colours, so the Windows program can hand it over as it is.
#pragma once
#include <cstddef>
#include <cstdint>

struct ColourEntry {
    uint8_t blue = 0;
    uint8_t green = 0;
    uint8_t red = 0;
    uint8_t reserved = 0;
};

struct BitmapInfoHeader {
    uint32_t size = 40;
    int32_t width = 0;
    int32_t height = 0;       // positive: bottom-up
    uint16_t planes = 1;
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t sizeImage = 0;
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;
    uint32_t clrUsed = 0;
    uint32_t clrImportant = 0;
};

struct BitmapInfo {
    BitmapInfoHeader header;
    ColourEntry colours[256];
};

static_assert(sizeof(ColourEntry) == 4, "colour entries are 4 bytes");
static_assert(sizeof(BitmapInfoHeader) == 40, "the information header is 40 bytes");
static_assert(offsetof(BitmapInfoHeader, planes) == 12 && offsetof(BitmapInfoHeader, compression) == 16 &&
                  offsetof(BitmapInfoHeader, clrImportant) == 36,
              "header fields at their file offsets");
static_assert(sizeof(BitmapInfo) == 40 + 4 * 256, "header and 256 colours, no gap");

// Largest pixel memory a picture may take. A 32-bit program cannot count on more than this
// in one block, so larger pictures are refused like a failed bitmap creation.
constexpr uint64_t kMaxPixelBytes = uint64_t(1) << 30;

// Bytes per row of a bitmap: width · bits per pixel, rounded up to a multiple of 4 bytes.
// Computed in 64 bits so that no header value can overflow it.
inline uint64_t rowPitch(uint64_t width, uint64_t bitsPerPixel) {
    return (width * bitsPerPixel + 31) / 32 * 4;
}

// Depths a device-independent bitmap can be made with.
inline bool isBitmapDepth(uint32_t bitsPerPixel) {
    return bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8 || bitsPerPixel == 16 ||
           bitsPerPixel == 24 || bitsPerPixel == 32;
}

// Colour-table entries that belong to a depth: 2, 16 or 256 for 1, 4 or 8 bits, else 0.
inline uint32_t paletteSizeForDepth(uint32_t bitsPerPixel) {
    switch (bitsPerPixel) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}
