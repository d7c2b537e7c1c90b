// Sequential scans: block decoding, interleaved MCUs, restart intervals.
#include <algorithm>
#include <cstring>

#include "jpeg_decoder.h"
#include "jpeg_fast_block.h"
#include "jpeg_mcu_output.h"
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

// Decodes every block of the MCU through FastBits into `blocks` (scan order). False, with no
// predictor or bit position changed, when the bit-serial decoder has to do it: the data needs
// it, or the MCU reaches the next marker.
bool DecodeMcuFast(JpegInput& in, std::vector<JpegDecoder::ScanComponent>& components, const HuffmanTable* dcTables,
                   const HuffmanTable* acTables, int32_t (*blocks)[64], bool* acWritten) {
    if (components.size() > 3) return false;
    FastBits bits = in.held.active ? FastBits::Resume(in) : FastBits(in);
    if (!bits.Usable()) return false;
    int32_t predictors[3];
    int count = 0;
    for (const JpegDecoder::ScanComponent& c : components) count += c.blocksPerMcu;
    if (count > kMaxMcuBlocks) return false;
    std::memset(blocks, 0, sizeof(int32_t) * 64 * static_cast<size_t>(count));
    int b = 0;
    for (size_t i = 0; i < components.size(); ++i) {
        const JpegDecoder::ScanComponent& c = components[i];
        const HuffmanTable& dc = dcTables[c.dcSelector];
        const HuffmanTable& ac = acTables[c.acSelector];
        if (!dc.defined || !ac.defined) return false;
        predictors[i] = c.dcPredictor;
        for (int n = 0; n < c.blocksPerMcu; ++n, ++b)
            if (!DecodeBlockFast(bits, dc, ac, predictors[i], blocks[b], acWritten[b])) return false;
    }
    if (bits.Overran()) return false;
    bits.Hold();
    for (size_t i = 0; i < components.size(); ++i) components[i].dcPredictor = predictors[i];
    return true;
}

}  // namespace

// One MCU of an interleaved scan. Every component is decoded even after one failed (the
// bits are consumed as they come), but a failed MCU writes no pixels. The fast path does the
// same work when it can; otherwise the blocks are decoded bit by bit. The pipeline transforms
// and writes the MCU.
int JpegDecoder::DecodeMcu() {
    uint32_t mcuNumber = intervalsDone * restartInterval + mcuIndex;
    int32_t (*blocks)[64] = pipeline_.Slot();
    bool* acWritten = pipeline_.SlotFlags();
    bool ok = true;
    if (DecodeMcuFast(in_, scanComponents, dcTables, acTables, blocks, acWritten)) {
        dcTable = &dcTables[scanComponents.back().dcSelector];
        acTable = &acTables[scanComponents.back().acSelector];
    } else {
        SettleHeldBits(in_);
        int first = 0;
        for (ScanComponent& c : scanComponents) {
            dcTable = &dcTables[c.dcSelector];
            acTable = &acTables[c.acSelector];
            for (int n = 0; n < c.blocksPerMcu; ++n) {
                acWritten[first + n] = true;
                if (!DecodeBlock(c, blocks[first + n])) {
                    ok = false;
                    break;
                }
            }
            first += c.blocksPerMcu;
        }
    }
    if (!ok || mcuNumber >= mcuCount) return 0;
    pipeline_.Commit(mcuNumber);
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
    if (interleaved) BeginMcuOutput();
    struct FinishOutput {
        McuPipeline& pipeline;
        ~FinishOutput() { pipeline.Finish(); }
    } finish{pipeline_};
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

// The scan's layout for the MCU output, quantisers copied: the pipeline may still write MCUs
// while the decoder reads on.
void JpegDecoder::BeginMcuOutput() {
    McuLayout layout;
    layout.components = static_cast<int>(scanComponents.size());
    for (int i = 0; i < layout.components; ++i) {
        const ScanComponent& c = scanComponents[static_cast<size_t>(i)];
        layout.index[i] = c.index;
        layout.blocks[i] = c.blocksPerMcu;
        std::memcpy(layout.quant[i], quantTables[c.quantSelector], sizeof(layout.quant[i]));
        layout.quantChecked[i] = quantInRange[c.quantSelector];
    }
    layout.levelShift = levelShift;
    layout.outputRow = outputRow;
    layout.pitch = outputPitch;
    layout.mcusAcross = mcusAcross;
    layout.h = scanMaxH;
    layout.v = scanMaxV;
    pipeline_.Begin(layout, mcuCount);
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
