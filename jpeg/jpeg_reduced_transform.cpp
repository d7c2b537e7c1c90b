#include "jpeg_reduced_transform.h"

namespace {

// kWeights[s - 1][m][k] * 8192: the mean of cos((2n + 1) k pi / 16) over the 2^s samples n of
// output m, divided by cos(k pi / 16), which the pre-scaled quantisers carry.
constexpr int32_t kWeights[3][4][8] = {
    {{8192, 7568, 5793, 3135, 0, -3135, -5793, -7568},
     {8192, 3135, -5793, -7568, 0, 7568, 5793, -3135},
     {8192, -3135, -5793, 7568, 0, -7568, 5793, 3135},
     {8192, -7568, 5793, -3135, 0, 3135, -5793, 7568}},
    {{8192, 5352, 0, -2217, 0, 2217, 0, -5352}, {8192, -5352, 0, 2217, 0, -2217, 0, 5352}},
    {{8192, 0, 0, 0, 0, 0, 0, 0}},
};
constexpr int kWeightBits = 13;

// Frequencies whose weight is zero for every output of a reduction.
constexpr bool Used(int s, int k) {
    for (int m = 0; m < (8 >> s); ++m)
        if (kWeights[s - 1][m][k] != 0) return true;
    return false;
}

// Products and sums wrap as unsigned 64-bit values; only the shifts read them as signed.
inline uint64_t Product(int64_t a, int32_t weight) { return static_cast<uint64_t>(a) * static_cast<uint64_t>(int64_t(weight)); }
inline int64_t Scaled(uint64_t sum) { return static_cast<int64_t>(sum) >> kWeightBits; }

template <int SX, int SY>
void Reduce(const int32_t* coef, const int32_t* quant, int32_t levelShift, int32_t* out, int pitch) {
    constexpr int across = 8 >> SX, down = 8 >> SY;
    int64_t rows[8][across] = {};
#pragma GCC unroll 8
    for (int v = 0; v < 8; ++v) {
        if (!Used(SY, v)) continue;
        int64_t values[8];
#pragma GCC unroll 8
        for (int u = 0; u < 8; ++u) values[u] = int64_t(coef[8 * v + u]) * quant[8 * v + u];
#pragma GCC unroll 4
        for (int m = 0; m < across; ++m) {
            uint64_t sum = 0;
#pragma GCC unroll 8
            for (int u = 0; u < 8; ++u)
                if (kWeights[SX - 1][m][u] != 0) sum += Product(values[u], kWeights[SX - 1][m][u]);
            rows[v][m] = Scaled(sum);
        }
    }
#pragma GCC unroll 4
    for (int m = 0; m < down; ++m) {
#pragma GCC unroll 4
        for (int x = 0; x < across; ++x) {
            uint64_t sum = 0;
#pragma GCC unroll 8
            for (int v = 0; v < 8; ++v)
                if (kWeights[SY - 1][m][v] != 0) sum += Product(rows[v][x], kWeights[SY - 1][m][v]);
            out[pitch * m + x] = static_cast<int32_t>(static_cast<uint32_t>(Scaled(sum) + levelShift));
        }
    }
}

using ReduceFunction = void (*)(const int32_t*, const int32_t*, int32_t, int32_t*, int);
constexpr ReduceFunction kReductions[3][3] = {
    {Reduce<1, 1>, Reduce<1, 2>, Reduce<1, 3>},
    {Reduce<2, 1>, Reduce<2, 2>, Reduce<2, 3>},
    {Reduce<3, 1>, Reduce<3, 2>, Reduce<3, 3>},
};

}  // namespace

void ReducedTransform(const int32_t* coef, const int32_t* quant, int32_t levelShift, int shiftAcross, int shiftDown,
                      int32_t* out, int pitch) {
    kReductions[shiftAcross - 1][shiftDown - 1](coef, quant, levelShift, out, pitch);
}
