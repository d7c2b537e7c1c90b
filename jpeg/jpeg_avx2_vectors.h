// Vector types of the AVX2 files and their truncating division by 1024. Only files built
// with AVX2 include this.
#pragma once
#include <immintrin.h>

#include <cstdint>

namespace {

typedef int32_t V8 __attribute__((vector_size(32)));
typedef uint32_t U8 __attribute__((vector_size(32)));
typedef int32_t V4 __attribute__((vector_size(16)));
typedef uint32_t U4 __attribute__((vector_size(16)));

// Division by 1024 truncating toward zero in three steps: the magnitude shifted, the sign put
// back. Equal to the biased shift of the portable code for every 32-bit value, the most
// negative included.
inline V8 Div1024(V8 v) {
    return (V8)_mm256_sign_epi32(_mm256_srli_epi32(_mm256_abs_epi32((__m256i)v), 10), (__m256i)v);
}
inline V4 Div1024(V4 v) { return (V4)_mm_sign_epi32(_mm_srli_epi32(_mm_abs_epi32((__m128i)v), 10), (__m128i)v); }
// The same on wrapping (unsigned) lanes, read as signed.
inline U8 Div1024(U8 v) { return (U8)Div1024((V8)v); }
inline U4 Div1024(U4 v) { return (U4)Div1024((V4)v); }

}  // namespace
