#include "jpeg_transform.h"

#include "jpeg_idct_kernel.h"

#include <cmath>

// The steps round at fixed places in single and double precision; the volatile stores make
// every rounding happen even where the compiler keeps wider registers (x87).
void BuildScaleTable(int32_t scaleTable[64]) {
    float weight[8][8];
    for (int r = 0; r < 8; ++r) {
        for (int c = 0; c < 8; ++c) {
            volatile float a = static_cast<float>(r == 0 ? 1.0 / std::sqrt(2.0) : 1.0);
            double b = c == 0 ? 1.0 / std::sqrt(2.0) : 1.0;
            volatile float w = static_cast<float>(b * static_cast<double>(a));
            weight[r][c] = w;
        }
    }
    float cosines[8];
    for (int x = 0; x < 8; ++x) {
        volatile float cx = static_cast<float>(std::cos(x * 0.196349540625));
        cosines[x] = cx;
    }
    for (int r = 0; r < 8; ++r) {
        for (int c = 0; c < 8; ++c) {
            volatile double p = static_cast<double>(cosines[c]) * static_cast<double>(cosines[r]);
            p = p * static_cast<double>(weight[r][c]);
            p = p * 1024.0;
            volatile float w = static_cast<float>(p);
            weight[r][c] = w;
        }
    }
    for (int k = 0; k < 64; ++k) scaleTable[k] = static_cast<int32_t>(weight[k / 8][k % 8]);
}

void PrescaleQuantTable(int32_t table[64], const int32_t scaleTable[64]) {
    for (int k = 0; k < 64; ++k)
        table[k] = Wrap32((static_cast<int64_t>(scaleTable[k]) * table[k]) >> 2);
}

namespace {

// The 8-point AAN kernel in 64-bit two's complement arithmetic. For every input an encoder
// produces nothing leaves the signed 64-bit range and the results equal the 32-bit arithmetic;
// absurd inputs (coefficients and quantisers near their limits) would overflow even 64 bits,
// so sums and products wrap as unsigned values and only the divisions read them as signed.
using Wide = uint64_t;

inline Wide Widen(int64_t v) { return static_cast<Wide>(v); }
inline int32_t Low32(Wide v) { return static_cast<int32_t>(static_cast<uint32_t>(v)); }

}  // namespace

void InverseDct(int32_t block[64], const int32_t quant[64], int32_t levelShift) {
    int32_t workspace[64];
    Wide x[8];
    for (int c = 0; c < 8; ++c) {
        for (int i = 0; i < 8; ++i) x[i] = Widen(int64_t(block[8 * i + c]) * quant[8 * i + c]);
        Kernel(x);
        for (int i = 0; i < 8; ++i) workspace[8 * i + c] = Low32(x[i]);
    }
    const Wide shift = Widen(levelShift);
    for (int r = 0; r < 8; ++r) {
        for (int i = 0; i < 8; ++i) x[i] = Widen(workspace[8 * r + i]);
        Kernel(x);
        for (int i = 0; i < 8; ++i) block[8 * r + i] = Low32(x[i] + shift);
    }
}
