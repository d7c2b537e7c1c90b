// SSE2 colour output: four pixels per vector, bytes interleaved as blue, green, red.
#include "jpeg_colour_simd.h"
#include "jpeg_idct_simd.h"
#include "jpeg_lanes.h"

#if JPEG_SIMD_X86
#include <emmintrin.h>

#include <cstddef>
#include <cstring>

namespace {

typedef int32_t V4 __attribute__((vector_size(16)));

inline V4 Load(const int32_t* p) { return LoadVector<V4>(p); }

inline V4 Div1024(V4 v) { return (v + ((v >> 31) & 1023)) >> 10; }

inline bool AnyLane(V4 v) { return _mm_movemask_epi8((__m128i)v) != 0; }

// Offsets of four chroma samples.
struct Terms {
    V4 blue, green1, green2, red;
};

inline Terms TermsOf(V4 cb, V4 cr, bool sequential) {
    Terms t;
    t.blue = Div1024(cb * 1815);
    t.red = Div1024(cr * 1436);
    if (sequential) {
        t.green1 = Div1024(cb * 352);
        t.green2 = Div1024(cr * 731);
    } else {
        t.green1 = Div1024(cr * 731 + cb * 352);
        t.green2 = V4{0, 0, 0, 0};
    }
    return t;
}

inline Terms Spread(const Terms& t, bool high) {
    auto spread = [high](V4 v) {
        __m128i m = (__m128i)v;
        return (V4)(high ? _mm_unpackhi_epi32(m, m) : _mm_unpacklo_epi32(m, m));
    };
    return {spread(t.blue), spread(t.green1), spread(t.green2), spread(t.red)};
}

// Samples at 1024 per unit to clamped bytes: the shift, then saturation to 0..255.
inline __m128i Bytes(V4 a, V4 b, V4 c, V4 d) {
    __m128i lo = _mm_packs_epi32((__m128i)(a >> 10), (__m128i)(b >> 10));
    __m128i hi = _mm_packs_epi32((__m128i)(c >> 10), (__m128i)(d >> 10));
    return _mm_packus_epi16(lo, hi);
}

// Four pixels 0x00RRGGBB to their 12 bytes at the bottom of the vector.
inline __m128i Pack12(__m128i pixels) {
    __m128i low = _mm_and_si128(pixels, _mm_set_epi32(0, 0xFFFFFF, 0, 0xFFFFFF));
    __m128i high = _mm_and_si128(_mm_srli_epi64(pixels, 8),
                                 _mm_set_epi32(0xFFFF, int32_t(0xFF000000), 0xFFFF, int32_t(0xFF000000)));
    __m128i six = _mm_or_si128(low, high);  // 6 bytes at the bottom of each half
    return _mm_or_si128(_mm_move_epi64(six), _mm_slli_si128(_mm_srli_si128(six, 8), 6));
}

// 16 pixels of blue, green and red bytes as 48 interleaved bytes at p; `count` is 8 or 16.
inline void StoreInterleaved(__m128i b, __m128i g, __m128i r, uint8_t* p, int count) {
    __m128i zero = _mm_setzero_si128();
    __m128i bgLo = _mm_unpacklo_epi8(b, g), bgHi = _mm_unpackhi_epi8(b, g);
    __m128i rLo = _mm_unpacklo_epi8(r, zero), rHi = _mm_unpackhi_epi8(r, zero);
    __m128i q0 = Pack12(_mm_unpacklo_epi16(bgLo, rLo));
    __m128i q1 = Pack12(_mm_unpackhi_epi16(bgLo, rLo));
    __m128i out0 = _mm_or_si128(q0, _mm_slli_si128(q1, 12));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), out0);
    if (count == 8) {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p + 16), _mm_srli_si128(q1, 4));
        return;
    }
    __m128i q2 = Pack12(_mm_unpacklo_epi16(bgHi, rHi));
    __m128i q3 = Pack12(_mm_unpackhi_epi16(bgHi, rHi));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 16), _mm_or_si128(_mm_srli_si128(q1, 4), _mm_slli_si128(q2, 8)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 32), _mm_or_si128(_mm_srli_si128(q2, 8), _mm_slli_si128(q3, 4)));
}

// Four pixels: luma y with the terms of their chroma samples; the partial green is stored
// when `green` is not null.
inline void Pixels(V4 y, const Terms& t, int32_t* green, V4& b, V4& g, V4& r) {
    V4 partial = y - t.green1;
    if (green) std::memcpy(green, &partial, sizeof partial);
    b = y + t.blue;
    g = partial - t.green2;
    r = y + t.red;
}

// One pixel row of the MCU: 8 * H pixels from chroma terms t[0] (samples 0-3), t[1] (4-7).
template <int H, bool Sequential>
inline void Row(const ColourMcu& m, const Terms t[2], int row, uint8_t* p) {
    int block = (row / 8) * H, at = 8 * (row % 8);
    V4 b[4], g[4], r[4];
    for (int quarter = 0; quarter < 2 * H; ++quarter) {
        int x = 4 * quarter, lumaBlock = block + x / 8, offset = at + x % 8;
        Terms u = H == 1 ? t[quarter] : Spread(t[quarter / 2], quarter % 2 == 1);
        int32_t* green = Sequential ? m.green[lumaBlock] + offset : nullptr;
        Pixels(Load(m.luma[lumaBlock] + offset), u, green, b[quarter], g[quarter], r[quarter]);
    }
    if (H == 1) {
        StoreInterleaved(Bytes(b[0], b[1], b[0], b[1]), Bytes(g[0], g[1], g[0], g[1]), Bytes(r[0], r[1], r[0], r[1]), p, 8);
    } else {
        StoreInterleaved(Bytes(b[0], b[1], b[2], b[3]), Bytes(g[0], g[1], g[2], g[3]), Bytes(r[0], r[1], r[2], r[3]), p,
                         16);
    }
}

template <int H, int V, bool Sequential>
void WriteRows(const ColourMcu& m) {
    for (int cy = 0; cy < 8; ++cy) {
        Terms t[2] = {TermsOf(Load(m.cb + 8 * cy), Load(m.cr + 8 * cy), Sequential),
                      TermsOf(Load(m.cb + 8 * cy + 4), Load(m.cr + 8 * cy + 4), Sequential)};
        for (int dy = 0; dy < V; ++dy) {
            int row = V * cy + dy;
            Row<H, Sequential>(m, t, row, m.topLeft - static_cast<ptrdiff_t>(row) * m.pitch);
        }
    }
}

struct Writer {
    static bool Within(const int32_t* values, int n, int32_t limit) { return WithinLanes<V4, AnyLane>(values, n, limit); }
    template <int H, int V, bool Sequential>
    static void Rows(const ColourMcu& m) {
        WriteRows<H, V, Sequential>(m);
    }
};

}  // namespace

bool WriteColourMcuSse2(const ColourMcu& m) { return WriteColourWithinLimits<Writer>(m); }

#endif
