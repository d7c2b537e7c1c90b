// InverseDct with AVX2: eight lanes, one row of the block per vector.
#include "jpeg_idct_simd.h"

#if JPEG_SIMD_X86
#include <immintrin.h>

#include <cstring>

#include "jpeg_idct_kernel.h"

namespace {

typedef int32_t V8 __attribute__((vector_size(32)));
typedef uint32_t U8 __attribute__((vector_size(32)));

inline V8 Load(const int32_t* p) {
    V8 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline void Store(int32_t* p, V8 v) { std::memcpy(p, &v, sizeof v); }

inline void Transpose(V8 v[8]) {
    __m256i a[8], b[8];
    for (int i = 0; i < 4; ++i) {
        a[2 * i] = _mm256_unpacklo_epi32((__m256i)v[2 * i], (__m256i)v[2 * i + 1]);
        a[2 * i + 1] = _mm256_unpackhi_epi32((__m256i)v[2 * i], (__m256i)v[2 * i + 1]);
    }
    for (int i = 0; i < 2; ++i) {
        b[4 * i + 0] = _mm256_unpacklo_epi64(a[4 * i + 0], a[4 * i + 2]);
        b[4 * i + 1] = _mm256_unpackhi_epi64(a[4 * i + 0], a[4 * i + 2]);
        b[4 * i + 2] = _mm256_unpacklo_epi64(a[4 * i + 1], a[4 * i + 3]);
        b[4 * i + 3] = _mm256_unpackhi_epi64(a[4 * i + 1], a[4 * i + 3]);
    }
    for (int i = 0; i < 4; ++i) {
        v[i] = (V8)_mm256_permute2x128_si256(b[i], b[4 + i], 0x20);
        v[4 + i] = (V8)_mm256_permute2x128_si256(b[i], b[4 + i], 0x31);
    }
}

bool AnyLane(V8 mask) { return _mm256_movemask_epi8((__m256i)mask) != 0; }

}  // namespace

bool InverseDctAvx2(const int32_t* coef, int32_t* out, const int32_t* quant, int32_t levelShift) {
    V8 v[8];
    V8 outside = {};
    for (int i = 0; i < 8; ++i) {
        V8 c = Load(coef + 8 * i), q = Load(quant + 8 * i);
        outside |= OutsideMask(c, kCoefficientLimit) | OutsideMask(q, kQuantiserLimit);
        v[i] = (V8)((U8)c * (U8)q);  // wraps for the values the checks turn away
        outside |= OutsideMask(v[i], kExactInputLimit);
    }
    if (AnyLane(outside)) return false;
    Kernel(v);
    for (int i = 0; i < 8; ++i) outside |= OutsideMask(v[i], kExactInputLimit);
    if (AnyLane(outside)) return false;
    Transpose(v);
    Kernel(v);
    Transpose(v);
    for (int i = 0; i < 8; ++i) Store(out + 8 * i, v[i] + levelShift);
    return true;
}

#endif
