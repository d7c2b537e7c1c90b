#include "image/area_average.h"

#include <algorithm>
#include <new>
#include <vector>

#include "image/area_average_simd.h"

namespace {

// Weights of one axis in fixed point, summing to exactly `one` for every output position.
struct AxisWeights {
    std::vector<uint32_t> first;   // first source index of each output position
    std::vector<uint32_t> start;   // where its weights start in `weights`; one more entry at the end
    std::vector<uint32_t> weights;
};

// Output position i covers source positions [i·from/to, (i+1)·from/to). In units of 1/to of a
// source position, source j covers [j·to, (j+1)·to) and output i covers [i·from, (i+1)·from).
// Each weight is the rounded running coverage at the end of a source position less that at
// its start, so rounding never leaves the sum short.
bool makeAxisWeights(uint32_t from, uint32_t to, uint32_t one, AxisWeights& axis) {
    try {
        axis.first.resize(to);
        axis.start.resize(size_t(to) + 1);
        axis.weights.reserve(size_t(from) + 2 * size_t(to));
    } catch (const std::bad_alloc&) {
        return false;
    }
    auto scaled = [&](uint64_t covered) { return static_cast<uint32_t>((covered * one + from / 2) / from); };
    for (uint32_t i = 0; i < to; ++i) {
        const uint64_t begin = uint64_t(i) * from, end = begin + from;
        uint32_t j = static_cast<uint32_t>(begin / to);
        axis.first[i] = j;
        axis.start[i] = static_cast<uint32_t>(axis.weights.size());
        uint32_t previous = 0;
        for (; uint64_t(j) * to < end; ++j) {
            const uint64_t pieceEnd = uint64_t(j + 1) * to < end ? uint64_t(j + 1) * to : end;
            const uint32_t running = scaled(pieceEnd - begin);
            axis.weights.push_back(running - previous);
            previous = running;
        }
    }
    axis.start[to] = static_cast<uint32_t>(axis.weights.size());
    return true;
}

// Horizontal weights sum to 2^14: a sum of at most 255·2^14, kept with 8 fraction bits (16 bits).
// Vertical weights sum to 2^15: at most 65280·2^15 < 2^32 in the column sums.
const uint32_t kHorizontalOne = 1u << 14;
const uint32_t kVerticalOne = 1u << 15;

// One output pixel from `taps` source pixels with their weights (zero past an output's own
// count where the weights are padded); inlined, so a constant count unrolls.
__attribute__((always_inline)) inline void reducePixel(const uint8_t* p, const uint32_t* w, uint32_t taps, uint16_t* out) {
    uint32_t b = 0, g = 0, r = 0;
    for (uint32_t k = 0; k < taps; ++k, p += 3) {
        b += p[0] * w[k];
        g += p[1] * w[k];
        r += p[2] * w[k];
    }
    out[0] = static_cast<uint16_t>((b + 32) >> 6);
    out[1] = static_cast<uint16_t>((g + 32) >> 6);
    out[2] = static_cast<uint16_t>((r + 32) >> 6);
}

#if defined(__i386__) || defined(__x86_64__)
bool haveSsse3() {
    static const bool ssse3 = (__builtin_cpu_init(), __builtin_cpu_supports("ssse3"));
    return ssse3;
}
#else
bool haveSsse3() { return false; }
#endif

// The horizontal weights laid out a fixed number of taps to an output position, zero-padded,
// for the leading positions whose reads stay inside the source row: `taps` to a position for
// the portable loop (`padded` positions), and 16 lanes of 16 bits for the SIMD one
// (`simdCount` positions, each also leaving room for the value written past it).
struct RowPlan {
    uint32_t taps = 0, padded = 0, simdCount = 0;
    std::vector<uint32_t> weights;
    std::vector<int16_t> lanes;
};

uint32_t leadingWithin(const AxisWeights& axis, uint32_t to, uint64_t limit, uint32_t readBytes) {
    uint32_t n = 0;
    while (n < to && uint64_t(axis.first[n]) * 3 + readBytes <= limit) ++n;
    return n;
}

bool planRow(const AxisWeights& axis, uint32_t from, uint32_t to, bool simd, RowPlan& plan) {
    uint32_t most = 0;
    for (uint32_t i = 0; i < to; ++i) most = std::max(most, axis.start[i + 1] - axis.start[i]);
    plan.taps = most <= 2 ? 2 : most <= 3 ? 3 : most <= 4 ? 4 : 0;
    if (plan.taps == 0) return true;
    plan.padded = leadingWithin(axis, to, uint64_t(from) * 3, 3 * plan.taps);
    plan.simdCount = simd ? std::min(leadingWithin(axis, to, uint64_t(from) * 3, 16), to - 1) : 0;
    try {
        plan.weights.assign(size_t(plan.padded) * plan.taps, 0u);
        plan.lanes.assign(size_t(plan.simdCount) * 16, int16_t(0));
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (uint32_t i = 0; i < plan.padded; ++i) {
        for (uint32_t k = axis.start[i], t = 0; k < axis.start[i + 1]; ++k, ++t) {
            plan.weights[size_t(i) * plan.taps + t] = axis.weights[k];
            if (i >= plan.simdCount) continue;
            // Lanes 0-5 pair taps 0 and 1 per channel, lanes 8-13 taps 2 and 3.
            int16_t* lanes = &plan.lanes[size_t(i) * 16 + (t / 2) * 8 + t % 2];
            lanes[0] = lanes[2] = lanes[4] = static_cast<int16_t>(axis.weights[k]);
        }
    }
    return true;
}

template <uint32_t taps>
uint32_t reducePadded(const uint8_t* row, const AxisWeights& axis, const RowPlan& plan, uint32_t i, uint16_t* out) {
    const uint32_t* w = plan.weights.data() + size_t(i) * taps;
    for (out += 3 * size_t(i); i < plan.padded; ++i, w += taps, out += 3)
        reducePixel(row + size_t(axis.first[i]) * 3, w, taps, out);
    return plan.padded;
}

void reduceRow(const uint8_t* row, const AxisWeights& axis, const RowPlan& plan, uint32_t to, uint16_t* out) {
    uint32_t i = 0;
    if (plan.simdCount > 0) i = ReduceRowSsse3(row, axis.first.data(), plan.lanes.data(), plan.simdCount, out);
    switch (plan.taps) {
    case 2: i = reducePadded<2>(row, axis, plan, i, out); break;
    case 3: i = reducePadded<3>(row, axis, plan, i, out); break;
    case 4: i = reducePadded<4>(row, axis, plan, i, out); break;
    default: break;
    }
    for (; i < to; ++i)
        reducePixel(row + size_t(axis.first[i]) * 3, axis.weights.data() + axis.start[i], axis.start[i + 1] - axis.start[i],
                    out + 3 * size_t(i));
}

void addWeightedRow(const uint16_t* reduced, uint32_t weight, bool firstRow, uint32_t* sums, size_t n, bool simd) {
    if (simd) return AddWeightedRowSsse3(reduced, weight, firstRow, sums, n);
    if (firstRow) {
        for (size_t i = 0; i < n; ++i) sums[i] = reduced[i] * weight;
    } else {
        for (size_t i = 0; i < n; ++i) sums[i] += reduced[i] * weight;
    }
}

void finishRow(const uint32_t* sums, uint8_t* out, size_t n, bool simd) {
    if (simd) return FinishRowSsse3(sums, out, n);
    for (size_t i = 0; i < n; ++i) out[i] = static_cast<uint8_t>((sums[i] + (1u << 22)) >> 23);
}

}  // namespace

PictureSize fittedSize(PictureSize picture, PictureSize bounds) {
    if (bounds.width == 0 || bounds.height == 0) return picture;
    if (picture.width <= bounds.width && picture.height <= bounds.height) return picture;
    if (picture.width == 0 || picture.height == 0) return picture;
    PictureSize fitted;
    // Wider than the bounds' shape: the width decides, else the height.
    if (uint64_t(picture.width) * bounds.height >= uint64_t(picture.height) * bounds.width) {
        fitted.width = bounds.width;
        fitted.height = static_cast<uint32_t>((uint64_t(picture.height) * bounds.width + picture.width / 2) / picture.width);
    } else {
        fitted.height = bounds.height;
        fitted.width = static_cast<uint32_t>((uint64_t(picture.width) * bounds.height + picture.height / 2) / picture.height);
    }
    if (fitted.width == 0) fitted.width = 1;
    if (fitted.height == 0) fitted.height = 1;
    return fitted;
}

bool reduceAreaAverage(TrueColourRows& source, PictureSize to, uint8_t* top, ptrdiff_t stride, AreaAverageRoad road) {
    const PictureSize from = source.size();
    if (to.width == 0 || to.height == 0 || to.width > from.width || to.height > from.height) return false;
    const bool simd = road == AreaAverageRoad::Fastest && haveSsse3();
    AxisWeights across, down;
    RowPlan plan;
    if (!makeAxisWeights(from.width, to.width, kHorizontalOne, across) ||
        !makeAxisWeights(from.height, to.height, kVerticalOne, down) || !planRow(across, from.width, to.width, simd, plan)) {
        return false;
    }
    const size_t n = size_t(to.width) * 3;
    std::vector<uint16_t> reduced;
    std::vector<uint32_t> sums;
    try {
        reduced.resize(n + 1);  // room for the value the SIMD loop writes past its last pixel
        sums.resize(n);
    } catch (const std::bad_alloc&) {
        return false;
    }
    // A source row on the border of two output rows is reduced across once, for both.
    uint32_t reducedRow = from.height;
    for (uint32_t y = 0; y < to.height; ++y) {
        uint32_t sourceRow = down.first[y];
        for (uint32_t k = down.start[y]; k < down.start[y + 1]; ++k, ++sourceRow) {
            if (sourceRow != reducedRow) {
                reduceRow(source.row(sourceRow), across, plan, to.width, reduced.data());
                reducedRow = sourceRow;
            }
            addWeightedRow(reduced.data(), down.weights[k], k == down.start[y], sums.data(), n, simd);
        }
        finishRow(sums.data(), top + ptrdiff_t(y) * stride, n, simd);
    }
    return true;
}
