// The area average's row loops in SSSE3: each output pixel from up to four source pixels with
// two multiply-adds of 16-bit lanes, and the column sums eight at a time. Same integers as the
// portable loops.
#include "image/area_average_simd.h"

#include <tmmintrin.h>

uint32_t ReduceRowSsse3(const uint8_t* row, const uint32_t* first, const int16_t* weights, uint32_t count,
                        uint16_t* out) {
    // Bytes B0 G0 R0 B1 G1 R1 become 16-bit B0 B1 G0 G1 R0 R1; the next three pixels' likewise.
    const __m128i taps01 = _mm_setr_epi8(0, -1, 3, -1, 1, -1, 4, -1, 2, -1, 5, -1, -1, -1, -1, -1);
    const __m128i taps23 = _mm_setr_epi8(6, -1, 9, -1, 7, -1, 10, -1, 8, -1, 11, -1, -1, -1, -1, -1);
    const __m128i half = _mm_set1_epi32(32);
    const __m128i low16 = _mm_setr_epi8(0, 1, 4, 5, 8, 9, 12, 13, -1, -1, -1, -1, -1, -1, -1, -1);
    for (uint32_t i = 0; i < count; ++i, weights += 16, out += 3) {
        const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + size_t(first[i]) * 3));
        const __m128i w01 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(weights));
        const __m128i w23 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(weights + 8));
        __m128i sum = _mm_add_epi32(_mm_madd_epi16(_mm_shuffle_epi8(pixels, taps01), w01),
                                    _mm_madd_epi16(_mm_shuffle_epi8(pixels, taps23), w23));
        sum = _mm_srli_epi32(_mm_add_epi32(sum, half), 6);
        // B, G, R and a fourth value the next pixel overwrites.
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_shuffle_epi8(sum, low16));
    }
    return count;
}

void AddWeightedRowSsse3(const uint16_t* reduced, uint32_t weight, bool firstRow, uint32_t* sums, size_t n) {
    const __m128i w = _mm_set1_epi16(static_cast<int16_t>(weight));
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m128i r = _mm_loadu_si128(reinterpret_cast<const __m128i*>(reduced + i));
        const __m128i lo = _mm_mullo_epi16(r, w), hi = _mm_mulhi_epu16(r, w);
        __m128i p0 = _mm_unpacklo_epi16(lo, hi), p1 = _mm_unpackhi_epi16(lo, hi);
        __m128i* s = reinterpret_cast<__m128i*>(sums + i);
        if (!firstRow) {
            p0 = _mm_add_epi32(p0, _mm_loadu_si128(s));
            p1 = _mm_add_epi32(p1, _mm_loadu_si128(s + 1));
        }
        _mm_storeu_si128(s, p0);
        _mm_storeu_si128(s + 1, p1);
    }
    for (; i < n; ++i) sums[i] = (firstRow ? 0 : sums[i]) + uint32_t(reduced[i]) * weight;
}

void FinishRowSsse3(const uint32_t* sums, uint8_t* out, size_t n) {
    const __m128i half = _mm_set1_epi32(1 << 22);
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m128i* s = reinterpret_cast<const __m128i*>(sums + i);
        const __m128i a = _mm_srli_epi32(_mm_add_epi32(_mm_loadu_si128(s), half), 23);
        const __m128i b = _mm_srli_epi32(_mm_add_epi32(_mm_loadu_si128(s + 1), half), 23);
        const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(a, b), _mm_setzero_si128());
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), bytes);
    }
    for (; i < n; ++i) out[i] = static_cast<uint8_t>((sums[i] + (1u << 22)) >> 23);
}
