#include "image/area_average.h"

#include <algorithm>
#include <new>
#include <vector>

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

void reduceRow(const uint8_t* row, const AxisWeights& axis, uint32_t to, uint32_t* out) {
    for (uint32_t i = 0; i < to; ++i) {
        const uint8_t* p = row + size_t(axis.first[i]) * 3;
        uint32_t b = 0, g = 0, r = 0;
        for (uint32_t k = axis.start[i]; k < axis.start[i + 1]; ++k, p += 3) {
            const uint32_t w = axis.weights[k];
            b += p[0] * w;
            g += p[1] * w;
            r += p[2] * w;
        }
        out[3 * i] = (b + 32) >> 6;
        out[3 * i + 1] = (g + 32) >> 6;
        out[3 * i + 2] = (r + 32) >> 6;
    }
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

bool reduceAreaAverage(TrueColourRows& source, PictureSize to, uint8_t* top, ptrdiff_t stride) {
    const PictureSize from = source.size();
    if (to.width == 0 || to.height == 0 || to.width > from.width || to.height > from.height) return false;
    AxisWeights across, down;
    if (!makeAxisWeights(from.width, to.width, kHorizontalOne, across) ||
        !makeAxisWeights(from.height, to.height, kVerticalOne, down)) {
        return false;
    }
    std::vector<uint32_t> reduced, sums;
    try {
        reduced.resize(size_t(to.width) * 3);
        sums.resize(size_t(to.width) * 3);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (uint32_t y = 0; y < to.height; ++y) {
        std::fill(sums.begin(), sums.end(), 0u);
        uint32_t sourceRow = down.first[y];
        for (uint32_t k = down.start[y]; k < down.start[y + 1]; ++k, ++sourceRow) {
            reduceRow(source.row(sourceRow), across, to.width, reduced.data());
            const uint32_t w = down.weights[k];
            for (size_t i = 0; i < sums.size(); ++i) sums[i] += reduced[i] * w;
        }
        uint8_t* out = top + ptrdiff_t(y) * stride;
        for (size_t i = 0; i < sums.size(); ++i) out[i] = static_cast<uint8_t>((sums[i] + (1u << 22)) >> 23);
    }
    return true;
}
