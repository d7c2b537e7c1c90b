// InverseDct with AVX2: eight lanes, one row of the block per vector.
#include "jpeg_idct_simd.h"

#if JPEG_SIMD_X86
#include <immintrin.h>

#include <cstdint>
#include <cstring>

// Before the kernel, so that it divides with the AVX2 Div1024.
#include "jpeg_avx2_vectors.h"
#include "jpeg_idct_kernel.h"
#include "jpeg_lanes.h"

namespace {

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
bool AnyLane(V4 mask) { return _mm_movemask_epi8((__m128i)mask) != 0; }

// Largest and smallest lane values seen, for one range check at the end.
template <class V>
struct Extremes {
    V high = V{} + INT32_MIN, low = V{} + INT32_MAX;
    void Add(V v) {
        high = high > v ? high : v;
        low = low < v ? low : v;
    }
    bool Outside(int32_t limit) const { return AnyLane(OutsideMask(high, limit) | OutsideMask(low, limit)); }
};

// The first four values of each of the eight rows, as four columns of eight: row r of the
// input is lane r of the outputs.
inline void TransposeQuarter(const U4 rows[8], V8 columns[4]) {
    __m256i p[4], a[4];
    for (int r = 0; r < 4; ++r) p[r] = _mm256_set_m128i((__m128i)rows[r + 4], (__m128i)rows[r]);
    a[0] = _mm256_unpacklo_epi32(p[0], p[1]);
    a[1] = _mm256_unpackhi_epi32(p[0], p[1]);
    a[2] = _mm256_unpacklo_epi32(p[2], p[3]);
    a[3] = _mm256_unpackhi_epi32(p[2], p[3]);
    columns[0] = (V8)_mm256_unpacklo_epi64(a[0], a[2]);
    columns[1] = (V8)_mm256_unpackhi_epi64(a[0], a[2]);
    columns[2] = (V8)_mm256_unpacklo_epi64(a[1], a[3]);
    columns[3] = (V8)_mm256_unpackhi_epi64(a[1], a[3]);
}

// The row pass over the transposed column results v, back to rows with the level shift
// added, into out.
inline void RowPassAndStore(V8 v[8], int32_t* out, int32_t levelShift) {
    Kernel(v);
    Transpose(v);
    for (int i = 0; i < 8; ++i) Store(out + 8 * i, v[i] + levelShift);
}

// True when every coefficient outside the top-left 4 x 4 is zero, as in most chroma blocks.
bool OnlyLowQuarter(const int32_t* coef) {
    V8 top = Load(coef) | Load(coef + 8) | Load(coef + 16) | Load(coef + 24);
    V8 bottom = Load(coef + 32) | Load(coef + 40) | Load(coef + 48) | Load(coef + 56);
    __m256i outside = (__m256i)(bottom | (top & V8{0, 0, 0, 0, -1, -1, -1, -1}));
    return _mm256_testz_si256(outside, outside);
}

// The transform of a block whose coefficients lie in its top-left 4 x 4. The kernels see
// zeros for the rest, so every value equals the full transform's.
bool InverseDctQuarter(const int32_t* coef, int32_t* out, const int32_t* quant, int32_t levelShift) {
    U4 x[8] = {};
    Extremes<V4> inputs;
    for (int i = 0; i < 4; ++i) {
        x[i] = (U4)LoadVector<V4>(coef + 8 * i) * (U4)LoadVector<V4>(quant + 8 * i);
        inputs.Add((V4)x[i]);
    }
    Kernel(x);  // wrapping, with one check after it as in InverseDctAvx2
    for (int i = 0; i < 8; ++i) inputs.Add((V4)x[i]);
    if (inputs.Outside(kExactInputLimit)) return false;
    V8 v[8] = {};
    TransposeQuarter(x, v);
    RowPassAndStore(v, out, levelShift);
    return true;
}

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
    if (inputsChecked && OnlyLowQuarter(coef)) return InverseDctQuarter(coef, out, quant, levelShift);
    U8 u[8];
    Extremes<V8> coefficients, quantisers, inputs;
    for (int i = 0; i < 8; ++i) {
        V8 c = Load(coef + 8 * i), q = Load(quant + 8 * i);
        if (!inputsChecked) {
            coefficients.Add(c);
            quantisers.Add(q);
        }
        u[i] = (U8)c * (U8)q;  // wraps for the values the checks turn away
        inputs.Add((V8)u[i]);
    }
    if (!inputsChecked && (coefficients.Outside(kCoefficientLimit) || quantisers.Outside(kQuantiserLimit)))
        return false;
    // The column pass runs on wrapping lanes before the products are checked; one check of
    // the products and its results together decides, so a wrapped value is never used.
    Kernel(u);
    for (int i = 0; i < 8; ++i) inputs.Add((V8)u[i]);
    if (inputs.Outside(kExactInputLimit)) return false;
    V8 v[8];
    for (int i = 0; i < 8; ++i) v[i] = (V8)u[i];
    Transpose(v);
    RowPassAndStore(v, out, levelShift);
    return true;
}

#endif
