#include "jpeg_reduced_transform.h"

namespace {

// Sums wrap as unsigned 64-bit values, so that any input gives a defined result; only the
// shift reads them as signed.
using Wide = uint64_t;

inline Wide Value(const int32_t* coef, const int32_t* quant, int k) {
    return static_cast<Wide>(int64_t(coef[k]) * quant[k]);
}

// The mean of cos((2n + 1) k pi / 16) over a half of the line (n = 0..3), divided by
// cos(k pi / 16), which the pre-scaled quantisers carry, times 8192: for k = 1 and 7 (with
// opposite signs) and 3 and 5; it is 0 for k = 2, 4, 6 and 1 for k = 0. Over the other half
// the odd frequencies change sign.
constexpr Wide kOuter = 5352, kInner = 2217;
constexpr int kWeightBits = 13;

// The averages over the two halves of an 8-point line, from its values at frequencies 0, 1,
// 3, 5, 7.
inline void Halves(Wide f0, Wide f1, Wide f3, Wide f5, Wide f7, Wide& first, Wide& second) {
    const Wide odd = static_cast<Wide>(static_cast<int64_t>((f1 - f7) * kOuter + (f5 - f3) * kInner) >> kWeightBits);
    first = f0 + odd;
    second = f0 - odd;
}

inline int32_t Sample(Wide v, int32_t levelShift) {
    return static_cast<int32_t>(static_cast<uint32_t>(v) + static_cast<uint32_t>(levelShift));
}

// The rows (vertical frequencies) a half reaches.
constexpr int kReached[5] = {0, 1, 3, 5, 7};

}  // namespace

void ReducedTransform(const int32_t* coef, const int32_t* quant, int32_t levelShift, int shiftAcross, int shiftDown,
                      int32_t* out, int pitch) {
    // Each row's averages across (its DC term alone when a whole row is one pixel).
    Wide left[5], right[5];
    const int rows = shiftDown == 3 ? 1 : 5;
    for (int i = 0; i < rows; ++i) {
        const int32_t* c = coef + 8 * kReached[i];
        const int32_t* q = quant + 8 * kReached[i];
        if (shiftAcross == 3) {
            left[i] = Value(c, q, 0);
            continue;
        }
        Halves(Value(c, q, 0), Value(c, q, 1), Value(c, q, 3), Value(c, q, 5), Value(c, q, 7), left[i], right[i]);
    }
    // Then down each column of those averages.
    const int columns = shiftAcross == 3 ? 1 : 2;
    for (int x = 0; x < columns; ++x) {
        const Wide* c = x == 0 ? left : right;
        if (shiftDown == 3) {
            out[x] = Sample(c[0], levelShift);
            continue;
        }
        Wide top, bottom;
        Halves(c[0], c[1], c[2], c[3], c[4], top, bottom);
        out[x] = Sample(top, levelShift);
        out[pitch + x] = Sample(bottom, levelShift);
    }
}
