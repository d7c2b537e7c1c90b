// Reduced output: each block's coefficients go through one separable matrix per direction
// whose rows are the area averages of the transform's basis functions, so that aliasing
// frequencies fold into the reduced samples as they would in an average of the full output.
#include "jpeg_reduced_output.h"

#include <cmath>
#include <cstddef>

#include "jpeg_mcu_output.h"
#include "jpeg_transform.h"

namespace {

// weights[n][x][u]: for n samples across a block (index 0..3 for 1, 2, 4, 8), the weight of the
// pre-scaled coefficient u in sample x. The pre-scaled quantisers carry the transform's scale
// cos(u pi/16) (1/sqrt 2 for u = 0), which the weights divide out again.
struct Weights {
    float w[4][8][8];
    Weights() {
        const double pi = 3.14159265358979323846;
        for (int level = 0; level < 4; ++level) {
            const int n = 1 << level, m = 8 / n;
            for (int x = 0; x < n; ++x) {
                for (int u = 0; u < 8; ++u) {
                    double sum = 0;
                    for (int j = 0; j < m; ++j) sum += std::cos((2 * (m * x + j) + 1) * u * pi / 16);
                    w[level][x][u] = static_cast<float>(u == 0 ? 1.0 : sum / m / std::cos(u * pi / 16));
                }
            }
        }
    }
};

const Weights kWeights;

int Level(int n) { return n == 1 ? 0 : n == 2 ? 1 : n == 4 ? 2 : 3; }

constexpr float kLimit = 1073741824.0f;  // 2^30

// Rounded to the nearest integer within [-2^30, 2^30]; NaN from absurd inputs gives 0.
int32_t Saturate(float v) {
    if (v >= kLimit) return int32_t(1) << 30;
    if (v <= -kLimit) return -(int32_t(1) << 30);
    if (!(v == v)) return 0;
    return static_cast<int32_t>(v >= 0 ? v + 0.5f : v - 0.5f);
}

}  // namespace

// In single precision: the samples are averages, compared with the whole decode by their
// error, not byte for byte, and every thread computes the same values from the same block.
void ReduceBlock(const int32_t* coef, bool acWritten, const int32_t* quant, int32_t levelShift, int across,
                 int down, int32_t* out) {
    const int count = across * down;
    if (!acWritten || count == 1) {
        const int64_t dc = int64_t(coef[0]) * quant[0] + levelShift;
        const int64_t limit = int64_t(1) << 30;
        const int32_t value = static_cast<int32_t>(dc > limit ? limit : dc < -limit ? -limit : dc);
        for (int i = 0; i < count; ++i) out[i] = value;
        return;
    }
    const float(*wx)[8] = kWeights.w[Level(across)];
    const float(*wy)[8] = kWeights.w[Level(down)];
    // Each coefficient row reduced across: rows[v][x], for the rows that hold a value.
    float rows[8][8];
    int used[8], usedCount = 0;
    for (int v = 0; v < 8; ++v) {
        const int32_t* c = coef + 8 * v;
        int last = 7;
        while (last >= 0 && c[last] == 0) --last;
        if (last < 0) continue;
        const int32_t* q = quant + 8 * v;
        float dequantised[8];
        for (int u = 0; u <= last; ++u) dequantised[u] = static_cast<float>(c[u]) * static_cast<float>(q[u]);
        for (int x = 0; x < across; ++x) {
            float sum = 0;
            for (int u = 0; u <= last; ++u) sum += dequantised[u] * wx[x][u];
            rows[v][x] = sum;
        }
        used[usedCount++] = v;
    }
    const float shift = static_cast<float>(levelShift);
    for (int y = 0; y < down; ++y) {
        for (int x = 0; x < across; ++x) {
            float sum = shift;
            for (int i = 0; i < usedCount; ++i) sum += rows[used[i]][x] * wy[y][used[i]];
            out[across * y + x] = Saturate(sum);
        }
    }
}

void WriteReducedMcu(const McuLayout& l, const int32_t (*coefficients)[64], const bool* acWritten,
                     uint32_t mcuNumber) {
    const int n = 8 >> l.reduction;
    const int width = n * l.h, height = n * l.v;
    const uint32_t x0 = uint32_t(width) * (mcuNumber % l.mcusAcross);
    const uint32_t y0 = uint32_t(height) * (mcuNumber / l.mcusAcross);
    uint8_t* topLeft = l.outputRow - static_cast<ptrdiff_t>(y0) * l.pitch + 3 * static_cast<ptrdiff_t>(x0);

    // The luma samples of the whole MCU, `width` to a row, and one chroma sample per pixel.
    int32_t luma[16 * 16], cb[16 * 16], cr[16 * 16], block[8 * 8];
    for (int b = 0; b < l.blocks[0]; ++b) {
        ReduceBlock(coefficients[b], acWritten[b], l.quant[0], l.levelShift, n, n, block);
        const int bx = n * (b % l.h), by = n * (b / l.h);
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) luma[width * (by + y) + bx + x] = block[n * y + x];
    }
    if (l.components == 1) {
        for (int y = 0; y < height; ++y) {
            uint8_t* p = topLeft - static_cast<ptrdiff_t>(y) * l.pitch;
            for (int x = 0; x < width; ++x, p += 3) p[0] = p[1] = p[2] = ClampSample(luma[width * y + x]);
        }
        return;
    }
    const int first = l.blocks[0];
    ReduceBlock(coefficients[first], acWritten[first], l.quant[1], 0, width, height, cb);
    ReduceBlock(coefficients[first + 1], acWritten[first + 1], l.quant[2], 0, width, height, cr);
    for (int y = 0; y < height; ++y) {
        uint8_t* p = topLeft - static_cast<ptrdiff_t>(y) * l.pitch;
        for (int x = 0; x < width; ++x, p += 3) {
            const int i = width * y + x;
            const int64_t yv = luma[i], b = cb[i], r = cr[i];
            p[0] = ClampSample(yv + ScaleDiv(b, 1815));
            p[1] = ClampSample(yv - ScaleDiv(b, 352) - ScaleDiv(r, 731));
            p[2] = ClampSample(yv + ScaleDiv(r, 1436));
        }
    }
}
