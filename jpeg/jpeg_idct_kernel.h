// The AAN kernel of InverseDct, on vectors of 32-bit lanes for the SIMD transforms and on
// 64-bit values for the portable one. Everything here is internal to the files that include it.
//
// The lanes hold 32-bit values where InverseDct computes in 64 bits. The results are equal
// whenever no intermediate value leaves the 32-bit range: with kernel inputs of magnitude at
// most B, the largest intermediate is z5 - z10 * 2676 <= 12920 B, so inputs up to
// kExactInputLimit are safe. The callers check their inputs against it and otherwise leave
// the block to InverseDct.
#pragma once
#include <cstdint>

namespace {

constexpr int32_t kExactInputLimit = 166213;  // 12920 * 166213 < 2^31

// Division by 1024 truncating toward zero: negative values take 1023 before the shift. A
// SIMD file may declare an equal, faster one for its vector type before including this.
template <class V>
inline V Div1024(V v) {
    return (v + ((v >> 31) & 1023)) >> 10;
}

// The portable transform's 64-bit two's complement values (see InverseDct): sums and products
// wrap as unsigned values, and only the division reads them as signed.
inline uint64_t Div1024(uint64_t v) { return static_cast<uint64_t>(static_cast<int64_t>(v) / 1024); }

// True when some lane lies outside [-limit, limit].
template <class V>
inline V OutsideMask(V v, int32_t limit) {
    return (v > limit) | (v < -limit);
}

template <class V>
inline void Kernel(V x[8]) {
    V t10 = x[0] + x[4];
    V t11 = x[0] - x[4];
    V t13 = x[2] + x[6];
    V t12 = Div1024((x[2] - x[6]) * 1448) - t13;
    V e0 = t10 + t13, e3 = t10 - t13, e1 = t11 + t12, e2 = t11 - t12;

    V z13 = x[5] + x[3];
    V z10 = x[5] - x[3];
    V z11 = x[1] + x[7];
    V z12 = x[1] - x[7];
    V t7 = z11 + z13;
    V z5 = (z10 + z12) * 1892;
    V t6 = Div1024(z5 - z10 * 2676) - t7;
    V t5 = Div1024((z11 - z13) * 1448) - t6;
    V t4 = Div1024(z12 * 1108 - z5) + t5;

    x[0] = e0 + t7;
    x[7] = e0 - t7;
    x[1] = e1 + t6;
    x[6] = e1 - t6;
    x[2] = e2 + t5;
    x[5] = e2 - t5;
    x[4] = e3 + t4;
    x[3] = e3 - t4;
}

}  // namespace
