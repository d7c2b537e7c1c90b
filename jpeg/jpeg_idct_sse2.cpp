// InverseDct with SSE2: four lanes, the block as eight rows of two halves.
#include "jpeg_idct_simd.h"

#if JPEG_SIMD_X86
#include <emmintrin.h>

#include <cstring>

#include "jpeg_idct_kernel.h"
#include "jpeg_lanes.h"

namespace {

typedef int32_t V4 __attribute__((vector_size(16)));
typedef uint32_t U4 __attribute__((vector_size(16)));

inline V4 Load(const int32_t* p) { return LoadVector<V4>(p); }
inline void Store(int32_t* p, V4 v) { StoreVector(p, v); }

// Transposes the 8 x 8 matrix held as v[2 * row + half] in place.
inline void Transpose(V4 v[16]) {
    V4 out[16];
    for (int g = 0; g < 2; ++g) {
        for (int h = 0; h < 2; ++h) {
            __m128i r0 = (__m128i)v[2 * (4 * g + 0) + h], r1 = (__m128i)v[2 * (4 * g + 1) + h];
            __m128i r2 = (__m128i)v[2 * (4 * g + 2) + h], r3 = (__m128i)v[2 * (4 * g + 3) + h];
            __m128i a = _mm_unpacklo_epi32(r0, r1), b = _mm_unpackhi_epi32(r0, r1);
            __m128i c = _mm_unpacklo_epi32(r2, r3), d = _mm_unpackhi_epi32(r2, r3);
            out[2 * (4 * h + 0) + g] = (V4)_mm_unpacklo_epi64(a, c);
            out[2 * (4 * h + 1) + g] = (V4)_mm_unpackhi_epi64(a, c);
            out[2 * (4 * h + 2) + g] = (V4)_mm_unpacklo_epi64(b, d);
            out[2 * (4 * h + 3) + g] = (V4)_mm_unpackhi_epi64(b, d);
        }
    }
    for (int i = 0; i < 16; ++i) v[i] = out[i];
}

bool AnyLane(V4 mask) { return _mm_movemask_epi8((__m128i)mask) != 0; }

// One pass over the columns of v (rows of lanes), both halves.
inline void Pass(V4 v[16]) {
    for (int h = 0; h < 2; ++h) {
        V4 x[8];
        for (int i = 0; i < 8; ++i) x[i] = v[2 * i + h];
        Kernel(x);
        for (int i = 0; i < 8; ++i) v[2 * i + h] = x[i];
    }
}

}  // namespace

bool InverseDctSse2(const int32_t* coef, int32_t* out, const int32_t* quant, int32_t levelShift, bool inputsChecked) {
    V4 v[16];
    V4 outside = {0, 0, 0, 0};
    for (int i = 0; i < 16; ++i) {
        V4 c = Load(coef + 4 * i), q = Load(quant + 4 * i);
        if (!inputsChecked) outside |= OutsideMask(c, kCoefficientLimit) | OutsideMask(q, kQuantiserLimit);
        v[i] = (V4)((U4)c * (U4)q);  // wraps for the values the checks turn away
        outside |= OutsideMask(v[i], kExactInputLimit);
    }
    if (AnyLane(outside)) return false;
    Pass(v);
    for (int i = 0; i < 16; ++i) outside |= OutsideMask(v[i], kExactInputLimit);
    if (AnyLane(outside)) return false;
    Transpose(v);
    Pass(v);
    Transpose(v);
    for (int i = 0; i < 16; ++i) Store(out + 4 * i, v[i] + levelShift);
    return true;
}

#endif
