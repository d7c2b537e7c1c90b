// The natural-order non-zero mask with SSE2: sixteen coefficients per step, 32-bit or 16-bit.
#include "jpeg_coefficient_mask.h"

#if defined(__i386__) || defined(__x86_64__)
#include <emmintrin.h>

uint64_t NonZeroNaturalSse2(const int32_t* block) {
    const __m128i zero = _mm_setzero_si128();
    uint64_t mask = 0;
    for (int i = 0; i < 64; i += 16) {
        const __m128i* p = reinterpret_cast<const __m128i*>(block + i);
        __m128i a = _mm_packs_epi32(_mm_cmpeq_epi32(_mm_loadu_si128(p), zero), _mm_cmpeq_epi32(_mm_loadu_si128(p + 1), zero));
        __m128i b = _mm_packs_epi32(_mm_cmpeq_epi32(_mm_loadu_si128(p + 2), zero), _mm_cmpeq_epi32(_mm_loadu_si128(p + 3), zero));
        uint32_t zeros = static_cast<uint32_t>(_mm_movemask_epi8(_mm_packs_epi16(a, b)));
        mask |= uint64_t(~zeros & 0xFFFF) << i;
    }
    return mask;
}

bool WidenBlockSse2(const int16_t* block, int32_t* out) {
    const __m128i zero = _mm_setzero_si128();
    __m128i any = _mm_insert_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(block)), 0, 0);  // AC only
    for (int i = 0; i < 64; i += 8) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + i));
        if (i != 0) any = _mm_or_si128(any, v);
        __m128i sign = _mm_cmpgt_epi16(zero, v);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_unpacklo_epi16(v, sign));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 4), _mm_unpackhi_epi16(v, sign));
    }
    return _mm_movemask_epi8(_mm_cmpeq_epi16(any, zero)) != 0xFFFF;
}

uint64_t NonZeroNaturalSse2(const int16_t* block) {
    const __m128i zero = _mm_setzero_si128();
    uint64_t mask = 0;
    for (int i = 0; i < 64; i += 16) {
        const __m128i* p = reinterpret_cast<const __m128i*>(block + i);
        __m128i a = _mm_cmpeq_epi16(_mm_loadu_si128(p), zero), b = _mm_cmpeq_epi16(_mm_loadu_si128(p + 1), zero);
        uint32_t zeros = static_cast<uint32_t>(_mm_movemask_epi8(_mm_packs_epi16(a, b)));
        mask |= uint64_t(~zeros & 0xFFFF) << i;
    }
    return mask;
}

#endif
