// Sequential scans: block decoding, interleaved MCUs, restart intervals.
#include <algorithm>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "jpeg_decoder.h"
#include "jpeg_fast_block.h"
#include "jpeg_markers.h"
#include "jpeg_mcu_decode.h"
#include "jpeg_mcu_output.h"
#include "jpeg_restart_split.h"
#include "jpeg_transform.h"
#include "jpeg_zigzag.h"

// One data unit with the current dcTable_/acTable_ into `block` (natural order, cleared first).
bool JpegDecoder::DecodeBlock(ScanComponent& c, int32_t* block) {
    return DecodeBlockSerial(in_, dcTable_, acTable_, c.dcPredictor, block);
}

bool DecodeBlockSerial(JpegInput& in, const HuffmanTable* dcTable, const HuffmanTable* acTable, int32_t& predictor,
                       int32_t* block) {
    std::fill(block, block + 64, 0);
    int size;
    if (!in.DecodeSymbol(dcTable, size) || size > 15) return false;
    int32_t diff = 0;
    if (size > 0) {
        int32_t bits;
        if (!in.ReceiveBits(size, bits)) return false;
        diff = Extend(bits, size);
    }
    predictor = Wrap32(static_cast<int64_t>(predictor) + diff);
    block[0] = predictor;

    uint32_t k = 1;
    while (k < 64) {
        int rs;
        if (!in.DecodeSymbol(acTable, rs)) return false;
        int run = rs >> 4, bitCount = rs & 15;
        if (bitCount != 0) {
            k += run;  // a run past the end lands on coefficient 63 and ends the block
            int32_t bits;
            if (!in.ReceiveBits(bitCount, bits)) return false;
            block[ZigzagIndex(k)] = Extend(bits, bitCount);
            ++k;
        } else if (run == 15) {
            k += 16;
        } else {
            break;  // end of block: the rest stays zero
        }
    }
    return true;
}

namespace {

// Blocks of an MCU in natural order, all zero already.
struct ZeroedMcuOut {
    int32_t (*blocks)[64];
    void Begin(int) {}
    bool Decode(FastBits& bits, const HuffmanTable& dc, const HuffmanTable& ac, int32_t& predictor, int b,
                bool& acWritten) {
        DenseBlockOut out{blocks[b]};
        return DecodeBlockFast(bits, dc, ac, predictor, out, acWritten);
    }
};

// The same, each block cleared before it is decoded.
struct DenseMcuOut : ZeroedMcuOut {
    // Plain vector stores: a string store of this size starts slowly on some processors.
    void Begin(int count) {
        for (int b = 0; b < count; ++b) {
#if defined(__SSE2__)
            for (int i = 0; i < 64; i += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(blocks[b] + i), _mm_setzero_si128());
#else
            std::memset(blocks[b], 0, sizeof blocks[b]);
#endif
        }
    }
};

// The entry lists of an MCU, block after block, with each block's count.
struct SparseMcuOut {
    const SparseMcu& mcu;  // by reference: a copy of it is a stall where stores meet a wider load
    uint32_t used = 0;
    void Begin(int) { used = 0; }
    bool Decode(FastBits& bits, const HuffmanTable& dc, const HuffmanTable& ac, int32_t& predictor, int b,
                bool& acWritten) {
        SparseBlockOut out{mcu.dc + b, mcu.entries + used, 0};
        bool ok = DecodeBlockFast(bits, dc, ac, predictor, out, acWritten);
        mcu.counts[b] = static_cast<uint8_t>(out.count);
        used += out.count;
        return ok;
    }
};

// What the fast path needs of a scan's components, checked once: false when it cannot take
// them (more than three, too many blocks, a table not defined).
struct FastTables {
    int components = 0;
    int blocks = 0;
    int blocksOf[3] = {};
    const HuffmanTable* dc[3] = {};
    const HuffmanTable* ac[3] = {};

    bool Take(const std::vector<ScanComponent>& scan, const HuffmanTable* dcTables, const HuffmanTable* acTables) {
        if (scan.empty() || scan.size() > 3) return false;
        components = static_cast<int>(scan.size());
        for (int i = 0; i < components; ++i) {
            const ScanComponent& c = scan[size_t(i)];
            dc[i] = &dcTables[c.dcSelector];
            ac[i] = &acTables[c.acSelector];
            if (!dc[i]->defined || !ac[i]->defined) return false;
            blocksOf[i] = c.blocksPerMcu;
            blocks += c.blocksPerMcu;
        }
        return blocks <= kMaxMcuBlocks;
    }
};

// Every block of one MCU through `bits` into `out` (scan order), with the components'
// predictors. False when the bit-serial decoder has to do the MCU: the data needs it, or the
// MCU reaches the next marker; the caller then drops what this changed.
template <class Out>
__attribute__((always_inline)) inline bool DecodeMcuBits(FastBits& bits, const FastTables& t, int32_t* predictors, Out& out, bool* acWritten) {
    out.Begin(t.blocks);
    int b = 0;
    for (int i = 0; i < t.components; ++i)
        for (int n = 0; n < t.blocksOf[i]; ++n, ++b)
            if (!out.Decode(bits, *t.dc[i], *t.ac[i], predictors[i], b, acWritten[b])) return false;
    return !bits.Overran();
}

// Decodes every block of the MCU through FastBits into `out` (scan order). False, with no
// predictor or bit position changed, when the bit-serial decoder has to do it.
template <class Out>
bool DecodeMcuFast(JpegInput& in, std::vector<ScanComponent>& components, const HuffmanTable* dcTables,
                   const HuffmanTable* acTables, Out& out, bool* acWritten) {
    FastTables t;
    if (!t.Take(components, dcTables, acTables)) return false;
    FastBits bits = in.held.active ? FastBits::Resume(in) : FastBits(in);
    if (!bits.Usable()) return false;
    int32_t predictors[3];
    for (int i = 0; i < t.components; ++i) predictors[i] = components[size_t(i)].dcPredictor;
    if (!DecodeMcuBits(bits, t, predictors, out, acWritten)) return false;
    bits.Hold();
    for (int i = 0; i < t.components; ++i) components[size_t(i)].dcPredictor = predictors[i];
    return true;
}

// MCUs one after another through one FastBits whose buffer and predictors stay in registers:
// `step(bits, tables, predictors, k)` decodes MCU k of the run and hands it on, or returns
// false when the fast path cannot take it. Up to `most` MCUs; returns how many were taken.
// The reader's state before each MCU is held field by field, since a copy of the whole reader
// would load wide what was just stored narrow; an MCU not taken leaves the reader and the
// predictors as they were before it, for the bit-by-bit road.
template <class Step>
__attribute__((always_inline)) inline uint32_t DecodeRun(JpegInput& in, std::vector<ScanComponent>& components, const HuffmanTable* dcTables,
                   const HuffmanTable* acTables, uint32_t most, Step step) {
    FastTables t;
    if (most == 0 || !t.Take(components, dcTables, acTables)) return 0;
    FastBits bits = in.held.active ? FastBits::Resume(in) : FastBits(in);
    if (!bits.Usable()) return 0;
    int32_t predictors[3];
    for (int i = 0; i < t.components; ++i) predictors[i] = components[size_t(i)].dcPredictor;
    uint32_t done = 0;
    for (; done < most; ++done) {
        bits.Hold();
        const int32_t saved[3] = {predictors[0], predictors[1], predictors[2]};
        if (!step(bits, t, predictors, done)) {
            bits = FastBits::Resume(in);
            for (int i = 0; i < 3; ++i) predictors[i] = saved[i];
            break;
        }
    }
    bits.Hold();
    for (int i = 0; i < t.components; ++i) components[size_t(i)].dcPredictor = predictors[i];
    return done;
}

// `count` dense blocks as entry lists: the DC values, and the non-zero AC coefficients; returns
// the number of entries.
uint32_t PackBlocks(const int32_t (*blocks)[64], int count, const SparseMcu& mcu) {
    uint32_t used = 0;
    for (int b = 0; b < count; ++b) {
        uint32_t first = used;
        mcu.dc[b] = blocks[b][0];
        for (uint32_t at = 1; at < 64; ++at)
            if (blocks[b][at] != 0) mcu.entries[used++] = SparseEntry(at, blocks[b][at]);
        mcu.counts[b] = static_cast<uint8_t>(used - first);
    }
    return used;
}

}  // namespace

bool DecodeMcuBlocks(JpegInput& in, std::vector<ScanComponent>& components, const HuffmanTable* dcTables,
                     const HuffmanTable* acTables, int32_t (*blocks)[64], bool* acWritten) {
    DenseMcuOut out{blocks};
    if (DecodeMcuFast(in, components, dcTables, acTables, out, acWritten)) return true;
    SettleHeldBits(in);
    bool ok = true;
    int first = 0;
    for (ScanComponent& c : components) {
        for (int n = 0; n < c.blocksPerMcu; ++n) {
            acWritten[first + n] = true;
            if (!DecodeBlockSerial(in, &dcTables[c.dcSelector], &acTables[c.acSelector], c.dcPredictor,
                                   blocks[first + n])) {
                ok = false;
                break;
            }
        }
        first += c.blocksPerMcu;
    }
    return ok;
}

uint32_t DecodeMcuRun(JpegInput& in, std::vector<ScanComponent>& components, const HuffmanTable* dcTables,
                      const HuffmanTable* acTables, uint32_t most, int32_t (*blocks)[64], bool* acWritten) {
    return DecodeRun(in, components, dcTables, acTables, most,
                     [blocks, acWritten](FastBits& bits, const FastTables& t, int32_t* predictors, uint32_t k) {
                         const size_t first = size_t(k) * size_t(t.blocks);
                         ZeroedMcuOut out{blocks + first};
                         return DecodeMcuBits(bits, t, predictors, out, acWritten + first);
                     });
}

bool DecodeMcuSparse(JpegInput& in, std::vector<ScanComponent>& components, const HuffmanTable* dcTables,
                     const HuffmanTable* acTables, const SparseMcu& mcu, int32_t (*scratch)[64], uint32_t& entries) {
    SparseMcuOut out{mcu};
    if (DecodeMcuFast(in, components, dcTables, acTables, out, mcu.acWritten)) {
        entries = out.used;
        return true;
    }
    if (!DecodeMcuBlocks(in, components, dcTables, acTables, scratch, mcu.acWritten)) return false;
    int count = 0;
    for (const ScanComponent& c : components) count += c.blocksPerMcu;
    entries = PackBlocks(scratch, count, mcu);
    return true;
}

// One MCU of an interleaved scan; a failed MCU writes no pixels. The pipeline transforms and
// writes the MCU.
bool JpegDecoder::DecodeMcu() {
    uint32_t mcuNumber = intervalsDone_ * restartInterval_ + mcuIndex_;
    const bool batching = pipeline_.Batching();
    uint32_t entries = 0;
    bool ok = batching ? DecodeMcuSparse(in_, scan_.components, dcTables_, acTables_, pipeline_.SparseSlot(),
                                         pipeline_.Scratch(), entries)
                       : DecodeMcuBlocks(in_, scan_.components, dcTables_, acTables_, pipeline_.Slot(), pipeline_.SlotFlags());
    if (!scan_.components.empty()) {
        dcTable_ = &dcTables_[scan_.components.back().dcSelector];
        acTable_ = &acTables_[scan_.components.back().acSelector];
    }
    if (!ok || mcuNumber >= scan_.mcuCount) return false;
    if (batching) pipeline_.CommitSparse(mcuNumber, entries);
    else pipeline_.Commit(mcuNumber);
    return true;
}

// MCUs from mcuIndex_ on, up to mcuLimit and not past the scan, in one run (DecodeRun), each
// committed to the pipeline as it is decoded. Stops before an MCU the fast path cannot
// decode, leaving it to DecodeMcu.
template <bool Sparse>
void JpegDecoder::DecodeFastRun(uint32_t mcuLimit) {
    const uint32_t first = intervalsDone_ * restartInterval_ + mcuIndex_;
    const uint32_t inScan = scan_.mcuCount > first ? scan_.mcuCount - first : 0;
    const uint32_t most = std::min(mcuLimit - mcuIndex_, inScan);
    const uint32_t done = DecodeRun(
        in_, scan_.components, dcTables_, acTables_, most,
        [this, first](FastBits& bits, const FastTables& t, int32_t* predictors, uint32_t k) {
            if (Sparse) {
                const SparseMcu slot = pipeline_.SparseSlot();
                SparseMcuOut out{slot};
                if (!DecodeMcuBits(bits, t, predictors, out, slot.acWritten)) return false;
                pipeline_.CommitSparse(first + k, out.used);
            } else {
                ZeroedMcuOut out{pipeline_.ZeroedSlot()};
                if (!DecodeMcuBits(bits, t, predictors, out, pipeline_.SlotFlags())) {
                    pipeline_.DirtySlot();
                    return false;
                }
                pipeline_.Commit(first + k);
            }
            return true;
        });
    mcuIndex_ += done;
    if (done > 0) {
        dcTable_ = &dcTables_[scan_.components.back().dcSelector];
        acTable_ = &acTables_[scan_.components.back().acSelector];
    }
}

// Up to mcuLimit MCUs from a byte boundary with fresh predictors, then the next marker. The
// fast path keeps its bit buffer from MCU to MCU; it is settled before anything else reads.
bool JpegDecoder::DecodeInterval(uint32_t mcuLimit) {
    for (ScanComponent& c : scan_.components) c.dcPredictor = 0;
    in_.bitsLeft = 0;
    mcuIndex_ = 0;
    while (mcuIndex_ < mcuLimit) {
        if (pipeline_.Batching()) DecodeFastRun<true>(mcuLimit);
        else DecodeFastRun<false>(mcuLimit);
        if (mcuIndex_ >= mcuLimit) break;
        if (!DecodeMcu()) {
            SettleHeldBits(in_);
            NextMarker();
            return false;
        }
        ++mcuIndex_;
    }
    SettleHeldBits(in_);
    return NextMarker();
}

// A scan with fewer components than the frame is blended into the picture; with restart
// markers such a scan is not supported and is refused before anything is written.
bool JpegDecoder::DecodeSequentialScan() {
    bool interleaved = frame_.componentCount() == scan_.components.size();
    if (interleaved) BeginMcuOutput();
    struct FinishOutput {
        McuPipeline& pipeline;
        ~FinishOutput() { pipeline.Finish(); }
    } finish{pipeline_};
    intervalsDone_ = 0;
    if (restartInterval_ == 0) {
        restartInterval_ = scan_.mcuCount;
        bool result = interleaved ? DecodeInterval(scan_.mcuCount) : DecodeNonInterleavedScan();
        restartInterval_ = 0;
        return result;
    }
    if (!interleaved) {
        Refuse(jpeg_text::kUnsupported);
        return false;
    }
    return DecodeIntervals();
}

void JpegDecoder::BeginMcuOutput() { pipeline_.Begin(ScanLayout(), scan_.mcuCount); }

// The scan's layout for the MCU output, quantisers copied: the pipeline may still write MCUs
// while the decoder reads on.
McuLayout JpegDecoder::ScanLayout() const {
    McuLayout layout;
    layout.components = static_cast<int>(scan_.components.size());
    for (int i = 0; i < layout.components; ++i) {
        const ScanComponent& c = scan_.components[static_cast<size_t>(i)];
        layout.index[i] = c.index;
        layout.blocks[i] = c.blocksPerMcu;
        std::memcpy(layout.quant[i], quantTables_[c.quantSelector], sizeof(layout.quant[i]));
        layout.quantChecked[i] = quantInRange_[c.quantSelector];
    }
    layout.levelShift = frame_.levelShift();
    layout.outputRow = outputRow_;
    layout.pitch = outputPitch_;
    layout.mcusAcross = scan_.mcusAcross;
    layout.h = scan_.maxH;
    layout.v = scan_.maxV;
    layout.reduction = reduction_;
    return layout;
}

// Restart intervals. Every interval is placed by its number (MCU intervalsDone_ *
// restartInterval_ onward), so a damaged interval cannot shift the rest of the picture and
// intervals longer than an MCU row land where they belong. After a failed interval the
// number of the restart marker found tells how many intervals were lost.
bool JpegDecoder::DecodeIntervals() {
    uint32_t intervals = static_cast<uint32_t>((uint64_t(scan_.mcuCount) + restartInterval_ - 1) / restartInterval_);
    uint32_t remaining = intervals > 0 ? intervals - 1 : 0;
    int expected = jpeg_marker::kFirstRestart;
    // Leading intervals on two threads at once, as far as they keep to the plan.
    const McuLayout layout = ScanLayout();
    const uint32_t lastMcus = intervals > 0 ? scan_.mcuCount - (intervals - 1) * restartInterval_ : 0;
    RestartSplit::Scan split{&in_, &scan_.components, dcTables_, acTables_, &layout, restartInterval_, intervals, lastMcus};
    if (remaining > 0 && RestartSplit::Fits(split, ScanVisits())) {
        RestartSplit run;
        RestartSplit::Result done = run.Run(split);
        if (done.lastOutput != nullptr) pipeline_.CarryFrom(*done.lastOutput);
        if (done.ended) {  // the last one too, on to the marker after it
            intervalsDone_ = intervals - 1;
            mcuIndex_ = lastMcus;
            in_.pos = done.end.pos;
            in_.bitsLeft = done.end.bitsLeft;
            in_.bitBuffer = done.end.bitBuffer;
            in_.held.active = false;
            return true;
        }
        intervalsDone_ = done.intervals;
        remaining -= done.intervals;
        expected = jpeg_marker::kFirstRestart + static_cast<int>(done.intervals % 8);
        in_.SetPos(done.start);
    }
    while (remaining > 0) {
        --remaining;
        if (!DecodeInterval(restartInterval_)) {
            if (in_.Beyond()) return false;
            int found = in_.Peek();
            int lost = found - expected + (found < expected ? 8 : 0);
            for (; lost > 0 && remaining > 0; --lost) {
                ++intervalsDone_;
                --remaining;
            }
        }
        ++intervalsDone_;
        int code = in_.Peek();
        expected = code + 1 > jpeg_marker::kLastRestart ? jpeg_marker::kFirstRestart : code + 1;
        in_.Advance(1);
    }
    uint32_t last = scan_.mcuCount - intervalsDone_ * restartInterval_;
    return DecodeInterval(last);
}
