#include "image/bitmap_rows.h"

#include <new>

namespace {

void putColour(const ColourEntry& c, uint8_t* out) {
    out[0] = c.blue;
    out[1] = c.green;
    out[2] = c.red;
}

// Index of pixel x in a row of 1, 4 or 8 bits per pixel, the leftmost in the high bits.
uint32_t paletteIndex(const uint8_t* row, uint32_t x, uint32_t bits) {
    switch (bits) {
    case 1: return (row[x / 8] >> (7 - x % 8)) & 1;
    case 4: return (row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 15;
    default: return row[x];
    }
}

uint8_t fiveToEight(uint32_t v) { return static_cast<uint8_t>((v << 3) | (v >> 2)); }

}  // namespace

BitmapRows::BitmapRows(const BitmapInfo& info, const uint8_t* bits, size_t pitch, PictureSize shown)
    : info_(info), bits_(bits), pitch_(pitch), shown_(shown) {}

bool BitmapRows::open() {
    const BitmapInfoHeader& h = info_.header;
    if (bits_ == nullptr || h.width <= 0 || h.height <= 0 || !isBitmapDepth(h.bitCount)) return false;
    if (shown_.width > uint32_t(h.width) || shown_.height > uint32_t(h.height)) return false;
    if (pitch_ < rowPitch(uint32_t(h.width), h.bitCount)) return false;
    try {
        converted_.resize(size_t(shown_.width) * 3);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

const uint8_t* BitmapRows::row(uint32_t y) {
    const uint32_t bitmapHeight = static_cast<uint32_t>(info_.header.height);
    const uint8_t* in = bits_ + pitch_ * (bitmapHeight - 1 - y);
    const uint32_t bits = info_.header.bitCount;
    if (bits == 24) return in;
    uint8_t* out = converted_.data();
    for (uint32_t x = 0; x < shown_.width; ++x, out += 3) {
        switch (bits) {
        case 32:
            out[0] = in[4 * x];
            out[1] = in[4 * x + 1];
            out[2] = in[4 * x + 2];
            break;
        case 16: {
            const uint32_t v = in[2 * x] | uint32_t(in[2 * x + 1]) << 8;
            out[0] = fiveToEight(v & 31);
            out[1] = fiveToEight((v >> 5) & 31);
            out[2] = fiveToEight((v >> 10) & 31);
            break;
        }
        default:
            putColour(info_.colours[paletteIndex(in, x, bits)], out);
            break;
        }
    }
    return converted_.data();
}
