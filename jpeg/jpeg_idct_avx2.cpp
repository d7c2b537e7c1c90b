// InverseDct with AVX2: eight lanes, one row of the block per vector.
#include "jpeg_idct_simd.h"

#if JPEG_SIMD_X86
#include <immintrin.h>

#include <cstdint>
#include <cstring>

#include "jpeg_idct_kernel.h"
#include "jpeg_lanes.h"

namespace {

typedef int32_t V8 __attribute__((vector_size(32)));
typedef uint32_t U8 __attribute__((vector_size(32)));

inline V8 Load(const int32_t* p) { return LoadVector<V8>(p); }
inline void Store(int32_t* p, V8 v) { StoreVector(p, v); }

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

// Largest and smallest lane values seen, for one range check at the end.
struct Extremes {
    __m256i high = _mm256_set1_epi32(INT32_MIN), low = _mm256_set1_epi32(INT32_MAX);
    void Add(V8 v) {
        high = _mm256_max_epi32(high, (__m256i)v);
        low = _mm256_min_epi32(low, (__m256i)v);
    }
    bool Outside(int32_t limit) const { return AnyLane(OutsideMask((V8)high, limit) | OutsideMask((V8)low, limit)); }
};

}  // namespace

void ClearBlocksAvx2(int32_t (*blocks)[64], const bool* acWritten, size_t count) {
    for (size_t b = 0; b < count; ++b) {
        if (!acWritten[b]) {
            blocks[b][0] = 0;
            continue;
        }
        for (int i = 0; i < 64; i += 8) _mm256_storeu_si256(reinterpret_cast<__m256i*>(blocks[b] + i), _mm256_setzero_si256());
    }
}

bool InverseDctAvx2(const int32_t* coef, int32_t* out, const int32_t* quant, int32_t levelShift, bool inputsChecked) {
    V8 v[8];
    Extremes coefficients, quantisers, products;
    for (int i = 0; i < 8; ++i) {
        V8 c = Load(coef + 8 * i), q = Load(quant + 8 * i);
        if (!inputsChecked) {
            coefficients.Add(c);
            quantisers.Add(q);
        }
        v[i] = (V8)((U8)c * (U8)q);  // wraps for the values the checks turn away
        products.Add(v[i]);
    }
    if (!inputsChecked && (coefficients.Outside(kCoefficientLimit) || quantisers.Outside(kQuantiserLimit)))
        return false;
    if (products.Outside(kExactInputLimit)) return false;
    Kernel(v);
    Extremes columns;
    for (int i = 0; i < 8; ++i) columns.Add(v[i]);
    if (columns.Outside(kExactInputLimit)) return false;
    Transpose(v);
    Kernel(v);
    Transpose(v);
    for (int i = 0; i < 8; ++i) Store(out + 8 * i, v[i] + levelShift);
    return true;
}

#endif
