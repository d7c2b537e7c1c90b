#include "jpeg_transform.h"

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

// One 8-point AAN kernel. Inputs and products are 64-bit so that no input overflows;
// for every input an encoder produces the results equal the 32-bit arithmetic.
inline void Kernel(const int64_t x[8], int64_t o[8]) {
    int64_t t10 = x[0] + x[4];
    int64_t t11 = x[0] - x[4];
    int64_t t13 = x[2] + x[6];
    int64_t t12 = ((x[2] - x[6]) * 1448) / 1024 - t13;
    int64_t e0 = t10 + t13, e3 = t10 - t13, e1 = t11 + t12, e2 = t11 - t12;

    int64_t z13 = x[5] + x[3];
    int64_t z10 = x[5] - x[3];
    int64_t z11 = x[1] + x[7];
    int64_t z12 = x[1] - x[7];
    int64_t t7 = z11 + z13;
    int64_t z5 = (z10 + z12) * 1892;
    int64_t t6 = (z5 - z10 * 2676) / 1024 - t7;
    int64_t t5 = ((z11 - z13) * 1448) / 1024 - t6;
    int64_t t4 = (z12 * 1108 - z5) / 1024 + t5;

    o[0] = e0 + t7;
    o[7] = e0 - t7;
    o[1] = e1 + t6;
    o[6] = e1 - t6;
    o[2] = e2 + t5;
    o[5] = e2 - t5;
    o[4] = e3 + t4;
    o[3] = e3 - t4;
}

}  // namespace

void InverseDct(int32_t block[64], const int32_t quant[64], int32_t levelShift) {
    int32_t workspace[64];
    int64_t x[8], o[8];
    for (int c = 0; c < 8; ++c) {
        for (int i = 0; i < 8; ++i) x[i] = static_cast<int64_t>(block[8 * i + c]) * quant[8 * i + c];
        Kernel(x, o);
        for (int i = 0; i < 8; ++i) workspace[8 * i + c] = Wrap32(o[i]);
    }
    for (int r = 0; r < 8; ++r) {
        for (int i = 0; i < 8; ++i) x[i] = workspace[8 * r + i];
        Kernel(x, o);
        for (int i = 0; i < 8; ++i) block[8 * r + i] = Wrap32(o[i] + levelShift);
    }
}
