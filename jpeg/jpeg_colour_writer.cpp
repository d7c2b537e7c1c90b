#include "jpeg_colour_writer.h"

#include <cstddef>
#include <cstring>

namespace {

// ClampSample for values known to fit 32 bits.
inline uint8_t Clamp(int32_t v) {
    v >>= 10;
    v = v < 0 ? 0 : v;
    return static_cast<uint8_t>(v > 255 ? 255 : v);
}

// Offsets of one chroma sample, each truncating toward zero like the passes.
struct Offsets {
    int32_t blue, greenFromBlue, greenFromRed, red;
};

inline Offsets OffsetsOf(int32_t cb, int32_t cr) {
    return {cb * 1815 / 1024, cb * 352 / 1024, cr * 731 / 1024, cr * 1436 / 1024};
}

// One row of 8 chroma samples over 8 * H pixels; luma and green rows are those of the pixel row.
template <int H>
inline void WriteRow(const int32_t* lumaRow[2], int32_t* greenRow[2], const Offsets* o, uint8_t* p) {
    for (int x = 0; x < 8 * H; ++x, p += 3) {
        const Offsets& s = o[x / H];
        int32_t y = lumaRow[x / 8][x % 8];
        int32_t g = y - s.greenFromBlue;
        greenRow[x / 8][x % 8] = g;
        p[0] = Clamp(y + s.blue);
        p[1] = Clamp(g - s.greenFromRed);
        p[2] = Clamp(y + s.red);
    }
}

template <int H, int V>
void WriteMcu(const int32_t (*luma)[64], int32_t (*green)[64], const int32_t* cb, const int32_t* cr, uint8_t* topLeft,
              int32_t pitch) {
    for (int cy = 0; cy < 8; ++cy) {
        Offsets o[8];
        for (int cx = 0; cx < 8; ++cx) o[cx] = OffsetsOf(cb[8 * cy + cx], cr[8 * cy + cx]);
        for (int dy = 0; dy < V; ++dy) {
            int y = V * cy + dy;
            int b = (y / 8) * H, at = 8 * (y % 8);
            const int32_t* lumaRow[2] = {luma[b] + at, luma[b + H - 1] + at};
            int32_t* greenRow[2] = {green[b] + at, green[b + H - 1] + at};
            WriteRow<H>(lumaRow, greenRow, o, topLeft - static_cast<ptrdiff_t>(y) * pitch);
        }
    }
}

}  // namespace

bool WithinLimit(const int32_t* values, int n, int32_t limit) {
    int32_t outside = 0;
    for (int i = 0; i < n; ++i) outside |= (values[i] > limit) | (values[i] < -limit);
    return outside == 0;
}

bool WriteColourMcu(const int32_t (*luma)[64], int32_t (*green)[64], const int32_t* cb, const int32_t* cr,
                    uint8_t* topLeft, int32_t pitch, int h, int v) {
    if (!WithinLimit(cb, 64, kWriterChromaLimit) || !WithinLimit(cr, 64, kWriterChromaLimit)) return false;
    if (h == 1) WriteMcu<1, 1>(luma, green, cb, cr, topLeft, pitch);
    else if (v == 1) WriteMcu<2, 1>(luma, green, cb, cr, topLeft, pitch);
    else WriteMcu<2, 2>(luma, green, cb, cr, topLeft, pitch);
    return true;
}

void WriteGreyBlock(const int32_t* luma, uint8_t* topLeft, int32_t pitch) {
    for (int y = 0; y < 8; ++y) {
        uint8_t* p = topLeft - static_cast<ptrdiff_t>(y) * pitch;
        const int32_t* row = luma + 8 * y;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
        // One four-byte store per pixel; its fourth byte is the next pixel's, stored next.
        for (int x = 0; x < 7; ++x, p += 3) {
            const uint32_t triple = uint32_t(Clamp(row[x])) * 0x010101u;
            std::memcpy(p, &triple, sizeof triple);
        }
        p[0] = p[1] = p[2] = Clamp(row[7]);
#else
        for (int x = 0; x < 8; ++x, p += 3) p[0] = p[1] = p[2] = Clamp(row[x]);
#endif
    }
}
