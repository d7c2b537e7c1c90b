// AVX2 colour output: eight pixels per vector, bytes interleaved by in-lane shuffles.
#include "jpeg_colour_simd.h"
#include "jpeg_idct_simd.h"
#include "jpeg_lanes.h"

#if JPEG_SIMD_X86
#include <immintrin.h>

#include <cstddef>
#include <cstring>

#include "jpeg_avx2_vectors.h"

namespace {

inline V8 Load(const int32_t* p) { return LoadVector<V8>(p); }

inline bool AnyLane(V8 v) { return _mm256_movemask_epi8((__m256i)v) != 0; }

// Offsets of eight chroma samples.
struct Terms {
    V8 blue, green1, green2, red;
};

// c * k / 1024 truncated toward zero for a positive constant k, from |c|: the product has
// c's sign, so one magnitude serves every constant. Chroma within its limit (2^20) keeps
// every product below 2^31.
inline V8 ScaledBy(V8 magnitude, int32_t k, V8 c) {
    return (V8)_mm256_sign_epi32(_mm256_srli_epi32((__m256i)(magnitude * k), 10), (__m256i)c);
}

template <bool Sequential>
inline Terms TermsOf(V8 cb, V8 cr) {
    const V8 b = (V8)_mm256_abs_epi32((__m256i)cb), r = (V8)_mm256_abs_epi32((__m256i)cr);
    if (Sequential) return {ScaledBy(b, 1815, cb), ScaledBy(b, 352, cb), ScaledBy(r, 731, cr), ScaledBy(r, 1436, cr)};
    return {ScaledBy(b, 1815, cb), Div1024(cr * 731 + cb * 352), V8{}, ScaledBy(r, 1436, cr)};
}

// Samples 0-3 (high: 4-7) of t, each twice: the chroma of sixteen pixels, eight at a time.
inline Terms Spread(const Terms& t, bool high) {
    const __m256i index = high ? _mm256_setr_epi32(4, 4, 5, 5, 6, 6, 7, 7) : _mm256_setr_epi32(0, 0, 1, 1, 2, 2, 3, 3);
    auto spread = [&index](V8 v) { return (V8)_mm256_permutevar8x32_epi32((__m256i)v, index); };
    return {spread(t.blue), spread(t.green1), spread(t.green2), spread(t.red)};
}

// Clamped bytes of pixels 0-7 (a) and 8-15 (b): 16-bit values in order, 0-7 in the low lane.
inline __m256i Words(V8 a, V8 b) {
    __m256i packed = _mm256_packs_epi32((__m256i)(a >> 10), (__m256i)(b >> 10));
    return _mm256_permute4x64_epi64(packed, 0xD8);
}

// Each 128-bit lane: eight pixels' blue, green (bg) and red (r) bytes to their 24 bytes, the
// low lane's at p, the high lane's at q.
inline void StoreLanes(__m256i bg, __m256i r, uint8_t* p, uint8_t* q) {
    const __m256i bgFirst = _mm256_setr_epi8(0, 8, -1, 1, 9, -1, 2, 10, -1, 3, 11, -1, 4, 12, -1, 5, 0, 8, -1, 1, 9, -1,
                                             2, 10, -1, 3, 11, -1, 4, 12, -1, 5);
    const __m256i rFirst = _mm256_setr_epi8(-1, -1, 0, -1, -1, 1, -1, -1, 2, -1, -1, 3, -1, -1, 4, -1, -1, -1, 0, -1,
                                            -1, 1, -1, -1, 2, -1, -1, 3, -1, -1, 4, -1);
    const __m256i bgLast = _mm256_setr_epi8(13, -1, 6, 14, -1, 7, 15, -1, -1, -1, -1, -1, -1, -1, -1, -1, 13, -1, 6,
                                            14, -1, 7, 15, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    const __m256i rLast = _mm256_setr_epi8(-1, 5, -1, -1, 6, -1, -1, 7, -1, -1, -1, -1, -1, -1, -1, -1, -1, 5, -1, -1,
                                           6, -1, -1, 7, -1, -1, -1, -1, -1, -1, -1, -1);
    __m256i first = _mm256_or_si256(_mm256_shuffle_epi8(bg, bgFirst), _mm256_shuffle_epi8(r, rFirst));
    __m256i last = _mm256_or_si256(_mm256_shuffle_epi8(bg, bgLast), _mm256_shuffle_epi8(r, rLast));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm256_castsi256_si128(first));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p + 16), _mm256_castsi256_si128(last));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(q), _mm256_extracti128_si256(first, 1));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(q + 16), _mm256_extracti128_si256(last, 1));
}

// Eight pixels: luma y with the terms of their chroma samples; the partial green is stored
// when `green` is not null.
inline void Pixels(V8 y, const Terms& t, int32_t* green, V8& b, V8& g, V8& r) {
    V8 partial = y - t.green1;
    if (green) std::memcpy(green, &partial, sizeof partial);
    b = y + t.blue;
    g = partial - t.green2;
    r = y + t.red;
}

// Two runs of eight pixels: luma y[i] (partial greens to green[i] on the sequential path)
// with terms u[i], written at p[i].
template <bool Sequential>
inline void Pair(const int32_t* const y[2], int32_t* const green[2], const Terms u[2], uint8_t* const p[2]) {
    V8 b[2], g[2], r[2];
    for (int i = 0; i < 2; ++i) Pixels(Load(y[i]), u[i], Sequential ? green[i] : nullptr, b[i], g[i], r[i]);
    __m256i bg = _mm256_packus_epi16(Words(b[0], b[1]), Words(g[0], g[1]));
    __m256i rr = _mm256_packus_epi16(Words(r[0], r[1]), _mm256_setzero_si256());
    // packus works within lanes: the low lane now holds the first run, the high lane the second.
    StoreLanes(bg, rr, p[0], p[1]);
}

// Two blocks across: each pixel row is one pair, each chroma row serves V rows with its terms
// spread once.
template <int V, bool Sequential>
void WriteWideRows(const ColourMcu& m) {
    uint8_t* p = m.topLeft;
    const ptrdiff_t pitch = m.pitch;
    for (int by = 0; by < V; ++by) {
        const int32_t* luma[2] = {m.luma[2 * by], m.luma[2 * by + 1]};
        int32_t* green[2] = {m.green[2 * by], m.green[2 * by + 1]};
        const int32_t* cb = m.cb + 64 / V * by;
        const int32_t* cr = m.cr + 64 / V * by;
        for (int cy = 0; cy < 8 / V; ++cy) {
            Terms t = TermsOf<Sequential>(Load(cb + 8 * cy), Load(cr + 8 * cy));
            const Terms u[2] = {Spread(t, false), Spread(t, true)};
            for (int dy = 0; dy < V; ++dy, p -= pitch) {
                int at = 8 * (V * cy + dy);
                const int32_t* y[2] = {luma[0] + at, luma[1] + at};
                int32_t* g[2] = {nullptr, nullptr};  // no partial greens on the progressive path
                if (Sequential) g[0] = green[0] + at, g[1] = green[1] + at;
                uint8_t* to[2] = {p, p + 24};
                Pair<Sequential>(y, g, u, to);
            }
        }
    }
}

// One block, one sample of each component per pixel: two rows make a pair.
template <bool Sequential>
void WriteNarrowRows(const ColourMcu& m) {
    const ptrdiff_t pitch = m.pitch;
    for (int row = 0; row < 8; row += 2) {
        const int at = 8 * row;
        const int32_t* y[2] = {m.luma[0] + at, m.luma[0] + at + 8};
        int32_t* g[2] = {nullptr, nullptr};  // no partial greens on the progressive path
        if (Sequential) g[0] = m.green[0] + at, g[1] = m.green[0] + at + 8;
        const Terms u[2] = {TermsOf<Sequential>(Load(m.cb + at), Load(m.cr + at)),
                            TermsOf<Sequential>(Load(m.cb + at + 8), Load(m.cr + at + 8))};
        uint8_t* to[2] = {m.topLeft - row * pitch, m.topLeft - (row + 1) * pitch};
        Pair<Sequential>(y, g, u, to);
    }
}

// A quick test of the limits, which are powers of two: shifted up by the limit, every value
// must fit the bits below twice the limit, which one OR of them all tells. True only when every
// value lies in [-limit, limit); the limit itself is left to the exact test.
inline bool BelowPowerOfTwo(const int32_t* values, int n, int32_t limit) {
    U8 any = {};
    for (int i = 0; i < n; i += 8) any |= (U8)Load(values + i) + static_cast<uint32_t>(limit);
    const __m256i outside = (__m256i)(any & ~(2 * static_cast<uint32_t>(limit) - 1));
    return _mm256_testz_si256(outside, outside);
}

struct Writer {
    // The quick test first; a value at the limit itself goes on to the exact one.
    static bool Within(const int32_t* values, int n, int32_t limit) {
        return BelowPowerOfTwo(values, n, limit) || WithinLanes<V8, AnyLane>(values, n, limit);
    }
    template <int H, int V, bool Sequential>
    static void Rows(const ColourMcu& m) {
        if (H == 1) WriteNarrowRows<Sequential>(m);
        else WriteWideRows<V, Sequential>(m);
    }
};

}  // namespace

bool WriteColourMcuAvx2(const ColourMcu& m) { return WriteColourWithinLimits<Writer>(m); }

// Each row's eight samples shifted, clamped by the saturating packs, and each byte tripled.
void WriteGreyBlockAvx2(const int32_t* luma, uint8_t* topLeft, int32_t pitch) {
    const __m128i first = _mm_setr_epi8(0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5);
    const __m128i rest = _mm_setr_epi8(5, 5, 6, 6, 6, 7, 7, 7, 0, 0, 0, 0, 0, 0, 0, 0);
    for (int y = 0; y < 8; ++y) {
        __m256i v = _mm256_srai_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(luma + 8 * y)), 10);
        __m128i words = _mm_packs_epi32(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1));
        __m128i bytes = _mm_packus_epi16(words, words);
        uint8_t* p = topLeft - static_cast<ptrdiff_t>(y) * pitch;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_shuffle_epi8(bytes, first));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p + 16), _mm_shuffle_epi8(bytes, rest));
    }
}

#endif
