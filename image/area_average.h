// Reducing a 24-bit picture to a smaller size by the area average: each output pixel is the mean
// of the source area it covers, partly covered source pixels weighted by the part covered.
#pragma once
#include <cstddef>
#include <cstdint>

struct PictureSize {
    uint32_t width = 0, height = 0;
};

// The size of a `picture` shown within `bounds`, aspect kept: the picture itself when it fits
// (or a bound is 0), else the largest size that fits, at least 1 x 1.
PictureSize fittedSize(PictureSize picture, PictureSize bounds);

// Gives the rows of the source picture, top row first, as 3 bytes per pixel B, G, R.
class TrueColourRows {
public:
    virtual ~TrueColourRows() = default;
    virtual PictureSize size() const = 0;
    // Row y (0 = top) of size().width pixels; valid until the next call.
    virtual const uint8_t* row(uint32_t y) = 0;
};

// Writes `source` reduced to `to` (each side at most the source's, at least 1) into `top`, the
// output's top row, rows `stride` bytes apart (negative for a bottom-up bitmap), 3 bytes a
// pixel. False, writing nothing, when `to` is empty or larger than the source, or the weights
// cannot be held in memory.
// `road` chooses the processor's SIMD loops where it has them, or the portable loops only; both
// give the same bytes.
enum class AreaAverageRoad { Fastest, Portable };
bool reduceAreaAverage(TrueColourRows& source, PictureSize to, uint8_t* top, ptrdiff_t stride,
                       AreaAverageRoad road = AreaAverageRoad::Fastest);
