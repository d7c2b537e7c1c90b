// Reduced output: the full block transform (SIMD where there is one), then area averages of
// its samples, so that colour conversion and pixel writing shrink with the picture.
#include "jpeg_reduced_output.h"

#include <cstddef>

#include "jpeg_colour_simd.h"
#include "jpeg_colour_writer.h"
#include "jpeg_idct_simd.h"
#include "jpeg_mcu_output.h"
#include "jpeg_reduced_transform.h"
#include "jpeg_transform.h"

namespace {

// Averages of 2^SX x 2^SY areas of an 8 x 8 block into (8 >> SX) x (8 >> SY) values, rows
// `pitch` apart. Each sample is shifted down before the sum, so that any 32-bit samples sum
// without overflow; the truncation costs under a 1024th of a unit per sample.
template <int SX, int SY>
void AverageOf(const int32_t* s, int32_t* out, int pitch) {
    constexpr int across = 8 >> SX, down = 8 >> SY, shift = SX + SY;
    for (int y = 0; y < down; ++y) {
        for (int x = 0; x < across; ++x) {
            int32_t sum = 0;
            for (int j = 0; j < (1 << SY); ++j)
                for (int i = 0; i < (1 << SX); ++i) sum += s[8 * ((y << SY) + j) + (x << SX) + i] >> shift;
            out[pitch * y + x] = sum;
        }
    }
}

using AverageFunction = void (*)(const int32_t*, int32_t*, int);
const AverageFunction kAverages[4][4] = {
    {AverageOf<0, 0>, AverageOf<0, 1>, AverageOf<0, 2>, AverageOf<0, 3>},
    {AverageOf<1, 0>, AverageOf<1, 1>, AverageOf<1, 2>, AverageOf<1, 3>},
    {AverageOf<2, 0>, AverageOf<2, 1>, AverageOf<2, 2>, AverageOf<2, 3>},
    {AverageOf<3, 0>, AverageOf<3, 1>, AverageOf<3, 2>, AverageOf<3, 3>},
};

// One block reduced by 2^shiftAcross x 2^shiftDown into out (rows `pitch` apart). A block of
// its DC value alone, or one reduced to a single value, takes the dequantised DC value, which
// is also what the transform gives every sample of a DC-only block.
void ReduceBlock(const int32_t* coef, bool acWritten, const int32_t* quant, bool quantChecked, int32_t levelShift,
                 int shiftAcross, int shiftDown, int32_t* out, int pitch) {
    const int across = 8 >> shiftAcross, down = 8 >> shiftDown;
    if (!acWritten || across * down == 1) {
        const uint32_t dc = static_cast<uint32_t>(int64_t(coef[0]) * quant[0]);
        const int32_t value = static_cast<int32_t>(dc + static_cast<uint32_t>(levelShift));
        for (int y = 0; y < down; ++y)
            for (int x = 0; x < across; ++x) out[pitch * y + x] = value;
        return;
    }
    if (shiftAcross >= 2 && shiftDown >= 2) {
        ReducedTransform(coef, quant, levelShift, shiftAcross, shiftDown, out, pitch);
        return;
    }
    alignas(64) int32_t samples[64];
    const bool checked = quantChecked && coef[0] <= kCoefficientLimit && coef[0] >= -kCoefficientLimit;
    TransformBlock(coef, samples, quant, levelShift, checked);
    kAverages[shiftAcross][shiftDown](samples, out, pitch);
}

int32_t Bound(int32_t v, int32_t limit) { return v > limit ? limit : v < -limit ? -limit : v; }

// ClampSample for values within 2^30.
uint8_t Clamp(int32_t v) {
    v >>= 10;
    v = v < 0 ? 0 : v;
    return static_cast<uint8_t>(v > 255 ? 255 : v);
}

}  // namespace

void WriteReducedMcu(const McuLayout& l, const int32_t (*coefficients)[64], const bool* acWritten,
                     uint32_t mcuNumber) {
    const int r = l.reduction, n = 8 >> r;
    const int width = n * l.h, height = n * l.v;
    const uint32_t x0 = uint32_t(width) * (mcuNumber % l.mcusAcross);
    const uint32_t y0 = uint32_t(height) * (mcuNumber / l.mcusAcross);
    uint8_t* topLeft = l.outputRow - static_cast<ptrdiff_t>(y0) * l.pitch + 3 * static_cast<ptrdiff_t>(x0);

    // The luma samples of the whole MCU, `width` to a row, and one chroma sample per pixel.
    alignas(64) int32_t luma[64], cb[64], cr[64];
    for (int b = 0; b < l.blocks[0]; ++b) {
        int32_t* at = luma + width * n * (b / l.h) + n * (b % l.h);
        ReduceBlock(coefficients[b], acWritten[b], l.quant[0], l.quantChecked[0], l.levelShift, r, r, at, width);
    }
    if (l.components == 1) {
        for (int y = 0; y < height; ++y) {
            uint8_t* p = topLeft - static_cast<ptrdiff_t>(y) * l.pitch;
            for (int x = 0; x < width; ++x, p += 3) p[0] = p[1] = p[2] = ClampSample(luma[width * y + x]);
        }
        return;
    }
    // A chroma block covers the MCU: each reduced pixel averages 2^r / H x 2^r / V of its samples.
    const int first = l.blocks[0];
    const int chromaAcross = r - (l.h == 2 ? 1 : 0), chromaDown = r - (l.v == 2 ? 1 : 0);
    ReduceBlock(coefficients[first], acWritten[first], l.quant[1], l.quantChecked[1], 0, chromaAcross, chromaDown,
                cb, width);
    ReduceBlock(coefficients[first + 1], acWritten[first + 1], l.quant[2], l.quantChecked[2], 0, chromaAcross,
                chromaDown, cr, width);
    // Bounded as the full colour writers require, so that 32-bit arithmetic holds.
    const int count = width * height;
    for (int i = 0; i < count; ++i) {
        luma[i] = Bound(luma[i], kWriterLumaLimit);
        cb[i] = Bound(cb[i], kWriterChromaLimit);
        cr[i] = Bound(cr[i], kWriterChromaLimit);
    }
    if (width == 8 && height == 8) {
        alignas(64) int32_t greens[64];
        ColourMcu mcu{{luma, luma, luma, luma}, {greens, greens, greens, greens}, cb, cr, topLeft, l.pitch, 1, 1, true, true};
        if (WriteColourMcuSimd(mcu)) return;
    }
    for (int y = 0; y < height; ++y) {
        uint8_t* p = topLeft - static_cast<ptrdiff_t>(y) * l.pitch;
        for (int x = 0; x < width; ++x, p += 3) {
            const int i = width * y + x;
            const int32_t yv = luma[i], b = cb[i], rd = cr[i];
            p[0] = Clamp(yv + b * 1815 / 1024);
            p[1] = Clamp(yv - b * 352 / 1024 - rd * 731 / 1024);
            p[2] = Clamp(yv + rd * 1436 / 1024);
        }
    }
}
