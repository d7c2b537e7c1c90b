// Sequential scans: block decoding, interleaved MCUs, restart intervals.
#include <algorithm>
#include <cstring>

#include "jpeg_colour_simd.h"
#include "jpeg_colour_writer.h"
#include "jpeg_decoder.h"
#include "jpeg_fast_block.h"
#include "jpeg_idct_simd.h"
#include "jpeg_transform.h"
#include "jpeg_zigzag.h"

// One data unit with the current dcTable/acTable into `block` (natural order, cleared first).
int JpegDecoder::DecodeBlock(ScanComponent& c, int32_t* block) {
    std::fill(block, block + 64, 0);
    int size;
    if (!in_.DecodeSymbol(dcTable, size) || size > 15) return 0;
    int32_t diff = 0;
    if (size > 0) {
        int32_t bits;
        if (!in_.ReceiveBits(size, bits)) return 0;
        diff = Extend(bits, size);
    }
    c.dcPredictor = Wrap32(static_cast<int64_t>(c.dcPredictor) + diff);
    block[0] = c.dcPredictor;

    uint32_t k = 1;
    while (k < 64) {
        int rs;
        if (!in_.DecodeSymbol(acTable, rs)) return 0;
        int run = rs >> 4, bitCount = rs & 15;
        if (bitCount != 0) {
            k += run;  // a run past the end lands on coefficient 63 and ends the block
            int32_t bits;
            if (!in_.ReceiveBits(bitCount, bits)) return 0;
            block[ZigzagIndex(k)] = Extend(bits, bitCount);
            ++k;
        } else if (run == 15) {
            k += 16;
        } else {
            break;  // end of block: the rest stays zero
        }
    }
    return 1;
}

namespace {

constexpr int kMaxFastBlocks = 12;  // three scan components of up to four blocks each

// Everything the fast path of one MCU reads and writes.
struct McuTarget {
    std::vector<JpegDecoder::ScanComponent>& components;
    const HuffmanTable* dcTables;
    const HuffmanTable* acTables;
    const int32_t (*quantTables)[64];
    const bool* quantInRange;
    int32_t levelShift;
    int32_t (*sampleArea)[64];
    int32_t (*chroma)[64];
};

// Decodes every block of the MCU through FastBits, then transforms them where DecodeMcu
// would. False, with nothing changed, when the bit-serial decoder has to do it: the data
// needs it, or the MCU reaches the next marker. `lumaBounded` tells whether every luminance
// sample is known to lie within 2^29.
bool DecodeMcuFast(JpegInput& in, const McuTarget& t, bool& lumaBounded) {
    std::vector<JpegDecoder::ScanComponent>& components = t.components;
    if (components.size() > 3) return false;
    FastBits bits = in.held.active ? FastBits::Resume(in) : FastBits(in);
    if (!bits.Usable()) return false;
    alignas(32) int32_t coefficients[kMaxFastBlocks][64];
    bool acWritten[kMaxFastBlocks];
    int32_t predictors[3];
    int blocks = 0;
    for (const JpegDecoder::ScanComponent& c : components) blocks += c.blocksPerMcu;
    if (blocks > kMaxFastBlocks) return false;
    std::memset(coefficients, 0, sizeof(int32_t) * 64 * static_cast<size_t>(blocks));
    blocks = 0;
    for (size_t i = 0; i < components.size(); ++i) {
        const JpegDecoder::ScanComponent& c = components[i];
        const HuffmanTable& dc = t.dcTables[c.dcSelector];
        const HuffmanTable& ac = t.acTables[c.acSelector];
        if (!dc.defined || !ac.defined) return false;
        predictors[i] = c.dcPredictor;
        for (int n = 0; n < c.blocksPerMcu; ++n, ++blocks)
            if (!DecodeBlockFast(bits, dc, ac, predictors[i], coefficients[blocks], acWritten[blocks])) return false;
    }
    if (bits.Overran()) return false;
    bits.Hold();

    blocks = 0;
    lumaBounded = true;
    for (size_t i = 0; i < components.size(); ++i) {
        JpegDecoder::ScanComponent& c = components[i];
        c.dcPredictor = predictors[i];
        const int32_t* quant = t.quantTables[c.quantSelector];
        bool quantChecked = t.quantInRange[c.quantSelector];
        int32_t shift = c.index == 1 ? t.levelShift : 0;
        for (int n = 0; n < c.blocksPerMcu; ++n, ++blocks) {
            int32_t* out = c.index == 1 ? t.sampleArea[n] : t.chroma[i];
            // AC values have at most 15 magnitude bits; the DC value is the running predictor.
            int32_t dc = coefficients[blocks][0];
            bool checked = quantChecked && dc <= kCoefficientLimit && dc >= -kCoefficientLimit;
            bool bounded = acWritten[blocks] ? TransformBlock(coefficients[blocks], out, quant, shift, checked)
                                             : TransformDcOnly(coefficients[blocks][0], out, quant[0], shift);
            if (c.index == 1 && !bounded) lumaBounded = false;
        }
    }
    return true;
}

}  // namespace

// One MCU of an interleaved scan. Every component is decoded even after one failed (the
// bits are consumed as they come), but a failed MCU writes no pixels. The fast path does the
// same work when it can; otherwise the blocks are decoded bit by bit.
int JpegDecoder::DecodeMcu() {
    uint32_t mcuNumber = intervalsDone * restartInterval + mcuIndex;
    alignas(32) int32_t chroma[3][64];
    bool ok = true, lumaBounded = false;
    McuTarget target{scanComponents, dcTables, acTables, quantTables, quantInRange, levelShift, sampleArea, chroma};
    if (DecodeMcuFast(in_, target, lumaBounded)) {
        dcTable = &dcTables[scanComponents.back().dcSelector];
        acTable = &acTables[scanComponents.back().acSelector];
    } else {
        SettleHeldBits(in_);
        for (size_t i = 0; i < scanComponents.size(); ++i) {
            ScanComponent& c = scanComponents[i];
            dcTable = &dcTables[c.dcSelector];
            acTable = &acTables[c.acSelector];
            const int32_t* quant = quantTables[c.quantSelector];
            for (int n = 0; n < c.blocksPerMcu; ++n) {
                int32_t* block = c.index == 1 ? sampleArea[n] : chroma[i];
                if (!DecodeBlock(c, block)) {
                    ok = false;
                    break;
                }
                InverseDct(block, quant, c.index == 1 ? levelShift : 0);
            }
        }
    }
    if (!ok || mcuNumber >= mcuCount) return 0;

    if (scanComponents.size() == 1) {
        WriteGrey(mcuNumber);
        return 1;
    }
    bool inOrder = scanComponents.size() == 3 && scanComponents[0].index == 1 && scanComponents[1].index == 2 &&
                   scanComponents[2].index == 3;
    if (inOrder) {
        uint8_t* topLeft = PixelAt(8u * scanMaxH * (mcuNumber % mcusAcross), 8u * scanMaxV * (mcuNumber / mcusAcross));
        ColourMcu mcu{{sampleArea[0], sampleArea[1], sampleArea[2], sampleArea[3]},
                      {sampleArea[4], sampleArea[5], sampleArea[6], sampleArea[7]},
                      chroma[1], chroma[2], topLeft, outputPitch, scanMaxH, scanMaxV, true, lumaBounded};
        if (WriteColourMcuSimd(mcu)) return 1;
        if (WithinLimit(sampleArea[0], 64 * scanMaxH * scanMaxV, kWriterLumaLimit) &&
            WriteColourMcu(sampleArea, sampleArea + 4, chroma[1], chroma[2], topLeft, outputPitch, scanMaxH, scanMaxV))
            return 1;
    }
    // The blue-difference pass stores the partial green that the red-difference pass ends.
    for (size_t i = 0; i < scanComponents.size(); ++i) {
        if (scanComponents[i].index == 2) BlueDifferencePass(chroma[i], mcuNumber);
        else if (scanComponents[i].index > 2) RedDifferencePass(chroma[i], mcuNumber);
    }
    return 1;
}

// Up to mcuLimit MCUs from a byte boundary with fresh predictors, then the next marker. The
// fast path keeps its bit buffer from MCU to MCU; it is settled before anything else reads.
int JpegDecoder::DecodeInterval(uint32_t mcuLimit) {
    for (ScanComponent& c : scanComponents) c.dcPredictor = 0;
    in_.bitsLeft = 0;
    mcuIndex = 0;
    while (mcuIndex < mcuLimit) {
        if (!DecodeMcu()) {
            SettleHeldBits(in_);
            NextMarker();
            return 0;
        }
        ++mcuIndex;
    }
    SettleHeldBits(in_);
    return NextMarker();
}

// A scan with fewer components than the frame is blended into the picture; with restart
// markers such a scan is not supported and is refused before anything is written.
int JpegDecoder::DecodeSequentialScan() {
    bool interleaved = componentCount == scanComponents.size();
    intervalsDone = 0;
    if (restartInterval == 0) {
        restartInterval = mcuCount;
        int result = interleaved ? DecodeInterval(mcuCount) : DecodeNonInterleavedScan();
        restartInterval = 0;
        return result;
    }
    if (!interleaved) {
        Refuse(jpeg_text::kUnsupported);
        return 0;
    }
    return DecodeIntervals();
}

// Restart intervals. Every interval is placed by its number (MCU intervalsDone *
// restartInterval onward), so a damaged interval cannot shift the rest of the picture and
// intervals longer than an MCU row land where they belong. After a failed interval the
// number of the restart marker found tells how many intervals were lost.
int JpegDecoder::DecodeIntervals() {
    uint32_t intervals = static_cast<uint32_t>((uint64_t(mcuCount) + restartInterval - 1) / restartInterval);
    uint32_t remaining = intervals > 0 ? intervals - 1 : 0;
    int expected = 0xD0;
    while (remaining > 0) {
        --remaining;
        if (DecodeInterval(restartInterval) != 1) {
            if (in_.Beyond()) return 0;
            int found = in_.Peek();
            int lost = found - expected + (found < expected ? 8 : 0);
            for (; lost > 0 && remaining > 0; --lost) {
                ++intervalsDone;
                --remaining;
            }
        }
        ++intervalsDone;
        int code = in_.Peek();
        expected = code + 1 > 0xD7 ? 0xD0 : code + 1;
        in_.Advance(1);
    }
    uint32_t last = mcuCount - intervalsDone * restartInterval;
    return DecodeInterval(last);
}
