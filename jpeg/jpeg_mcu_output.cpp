// Output of interleaved sequential MCUs: transforms, then grey, the one-sweep colour writers,
// or the two colour-difference passes. Pixel bytes are blue, green, red.
#include "jpeg_mcu_output.h"

#include <cstddef>
#include <cstring>

#include "jpeg_colour_simd.h"
#include "jpeg_colour_writer.h"
#include "jpeg_idct_simd.h"
#include "jpeg_reduced_output.h"
#include "jpeg_transform.h"

bool McuLayout::SelfContained() const {
    bool luma = false, blueFirst = false;
    for (int i = 0; i < components; ++i) {
        if (index[i] == 1) luma = true;
        else if (index[i] == 2) blueFirst = true;
        else if (!blueFirst) return false;
    }
    return luma;
}

int McuLayout::LumaBlocks() const {
    int most = 0;
    for (int i = 0; i < components; ++i)
        if (index[i] == 1 && blocks[i] > most) most = blocks[i];
    return most;
}

bool McuLayout::LeavesGreens() const {
    for (int i = 0; i < components; ++i)
        if (index[i] == 2) return true;
    return false;
}

void McuOutput::CarryFrom(const McuOutput& other) {
    const int luma = layout_->LumaBlocks();
    for (int b = 0; b < luma && b < 4; ++b) {
        std::memcpy(sampleArea_[b], other.sampleArea_[b], sizeof sampleArea_[b]);
        if (layout_->LeavesGreens()) std::memcpy(sampleArea_[4 + b], other.sampleArea_[4 + b], sizeof sampleArea_[b]);
    }
}

// Luminance blocks go to the sample area by their place in the MCU, each other component's
// block to its own chroma block. True when every luminance sample is known within 2^29.
bool McuOutput::Transform(const int32_t (*coefficients)[64], const bool* acWritten) {
    const McuLayout& l = *layout_;
    bool lumaBounded = true;
    int b = 0;
    for (int i = 0; i < l.components; ++i) {
        const int32_t* quant = l.quant[i];
        bool luma = l.index[i] == 1;
        int32_t shift = luma ? l.levelShift : 0;
        for (int n = 0; n < l.blocks[i]; ++n, ++b) {
            int32_t* out = luma ? sampleArea_[n] : chroma_[i];
            // AC values have at most 15 magnitude bits; the DC value is the running predictor.
            int32_t dc = coefficients[b][0];
            bool checked = l.quantChecked[i] && dc <= kCoefficientLimit && dc >= -kCoefficientLimit;
            bool bounded = acWritten[b] ? TransformBlock(coefficients[b], out, quant, shift, checked)
                                        : TransformDcOnly(dc, out, quant[0], shift);
            if (luma && !bounded) lumaBounded = false;
        }
    }
    return lumaBounded;
}

void McuOutput::Write(const int32_t (*coefficients)[64], const bool* acWritten, uint32_t mcuNumber) {
    const McuLayout& l = *layout_;
    if (l.reduction != 0) {
        WriteReducedMcu(l, coefficients, acWritten, mcuNumber);
        return;
    }
    bool lumaBounded = Transform(coefficients, acWritten);
    uint32_t x0 = 8u * l.h * (mcuNumber % l.mcusAcross), y0 = 8u * l.v * (mcuNumber / l.mcusAcross);
    if (l.components == 1) {
        if (!WriteGreyBlockSimd(sampleArea_[0], PixelAt(x0, y0), l.pitch)) WriteGreyBlock(sampleArea_[0], PixelAt(x0, y0), l.pitch);
        return;
    }
    bool inOrder = l.components == 3 && l.index[0] == 1 && l.index[1] == 2 && l.index[2] == 3;
    if (inOrder) {
        uint8_t* topLeft = PixelAt(x0, y0);
        ColourMcu mcu{{sampleArea_[0], sampleArea_[1], sampleArea_[2], sampleArea_[3]},
                      {sampleArea_[4], sampleArea_[5], sampleArea_[6], sampleArea_[7]},
                      chroma_[1], chroma_[2], topLeft, l.pitch, l.h, l.v, true, lumaBounded};
        if (WriteColourMcuSimd(mcu)) return;
        if (WithinLimit(sampleArea_[0], 64 * l.h * l.v, kWriterLumaLimit) &&
            WriteColourMcu(sampleArea_, sampleArea_ + 4, chroma_[1], chroma_[2], topLeft, l.pitch, l.h, l.v))
            return;
    }
    // The blue-difference pass stores the partial green that the red-difference pass ends.
    for (int i = 0; i < l.components; ++i) {
        if (l.index[i] == 2) BlueDifferencePass(chroma_[i], mcuNumber);
        else if (l.index[i] > 2) RedDifferencePass(chroma_[i], mcuNumber);
    }
}

// Spreads one MCU's entries into zeroed blocks; returns the number of entries it took.
uint32_t McuOutput::Spread(const SparseMcu& mcu, int32_t (*blocks)[64]) const {
    const int count = SpreadBlocks();
    uint32_t used = 0;
    for (int b = 0; b < count; ++b) {
        blocks[b][0] = mcu.dc[b];
        for (uint32_t end = used + mcu.counts[b]; used < end; ++used)
            blocks[b][EntryPosition(mcu.entries[used])] = EntryValue(mcu.entries[used]);
    }
    return used;
}

// Writes a spread MCU, then clears its blocks whole with vector stores: scattered zeros would
// stall later vector loads of the same blocks.
void McuOutput::WriteSpread(int32_t (*blocks)[64], const SparseMcu& mcu, uint32_t mcuNumber) {
    Write(blocks, mcu.acWritten, mcuNumber);
    const int count = SpreadBlocks();
    bool spread[kMaxMcuBlocks];
    for (int b = 0; b < count; ++b) spread[b] = mcu.counts[b] != 0;
    ClearBlocks(blocks, spread, size_t(count));
}

// Each MCU is spread while the one before is still to be written, so that its scattered
// stores are done by the time the transform loads the blocks.
void McuOutput::WriteSparseRun(const SparseMcu& first, int blocksPerMcu, const uint32_t* mcuNumbers, int count) {
    if (count <= 0) return;
    SparseMcu mcu = first;
    uint32_t used = Spread(mcu, spread_[0]);
    for (int j = 0; j < count; ++j) {
        SparseMcu next = mcu;
        uint32_t nextUsed = 0;
        if (j + 1 < count) {
            next = {mcu.dc + blocksPerMcu, mcu.entries + used, mcu.counts + blocksPerMcu, mcu.acWritten + blocksPerMcu};
            nextUsed = Spread(next, spread_[(j + 1) & 1]);
        }
        WriteSpread(spread_[j & 1], mcu, mcuNumbers[j]);
        mcu = next;
        used = nextUsed;
    }
}

uint8_t* McuOutput::PixelAt(uint32_t x, uint32_t y) const {
    return layout_->outputRow - static_cast<ptrdiff_t>(y) * layout_->pitch + 3 * static_cast<ptrdiff_t>(x);
}

// Visits the MCU's pixels with their luma block b, place `at` in it, and chroma sample c:
// each chroma sample covers h x v pixels; the partial greens sit where their luma values do.
template <class Pixel>
void McuOutput::ForEachPixel(const int32_t* chroma, uint32_t mcuNumber, Pixel pixel) {
    const McuLayout& l = *layout_;
    uint32_t w = 8u * l.h, h = 8u * l.v;
    uint32_t x0 = w * (mcuNumber % l.mcusAcross), y0 = h * (mcuNumber / l.mcusAcross);
    for (uint32_t y = 0; y < h; ++y) {
        uint8_t* p = PixelAt(x0, y0 + y);
        for (uint32_t x = 0; x < w; ++x, p += 3) {
            int b = static_cast<int>((y / 8) * l.h + x / 8);
            int at = static_cast<int>(8 * (y % 8) + x % 8);
            pixel(p, b, at, int64_t(chroma[8 * (y / l.v) + x / l.h]));
        }
    }
}

void McuOutput::BlueDifferencePass(const int32_t* chroma, uint32_t mcuNumber) {
    ForEachPixel(chroma, mcuNumber, [this](uint8_t* p, int b, int at, int64_t c) {
        int64_t luma = sampleArea_[b][at];
        p[0] = ClampSample(luma + ScaleDiv(c, 1815));
        sampleArea_[4 + b][at] = Wrap32(luma - ScaleDiv(c, 352));
    });
}

void McuOutput::RedDifferencePass(const int32_t* chroma, uint32_t mcuNumber) {
    ForEachPixel(chroma, mcuNumber, [this](uint8_t* p, int b, int at, int64_t c) {
        p[2] = ClampSample(sampleArea_[b][at] + ScaleDiv(c, 1436));
        p[1] = ClampSample(sampleArea_[4 + b][at] - ScaleDiv(c, 731));
    });
}
