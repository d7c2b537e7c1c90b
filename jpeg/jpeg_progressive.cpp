// Progressive frames: coefficients of the whole picture, refined scan by scan and emitted
// once at the end, whatever stops the scan loop; during the last scan the rows it has passed
// may already go to the emission. A last scan of the luminance alone may be decoded on the
// helper thread while the scans before it are read (StartScanAhead, TakeScanAhead).
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>

#include "jpeg_decoder.h"
#include "jpeg_helper_thread.h"
#include "jpeg_markers.h"
#include "jpeg_scan_lookahead.h"

// The store for this pass: zero coefficients and DC array, within the memory cap and the
// work budget (each pass clears its coefficients and emits the picture).
bool JpegDecoder::AllocateCoefficients() {
    const uint64_t frameMcus = uint64_t(frame_.mcusAcross()) * frame_.mcusDown();
    // Every buffer holds at least one block; the sizes stay far from overflow in 64 bits.
    const uint64_t lumaBlocks = std::max<uint64_t>(frameMcus * frame_.maxH * frame_.maxV, 1);
    const uint64_t chromaBlocks = std::max<uint64_t>(frameMcus, 1);
    const uint64_t blocks = lumaBlocks + 2 * chromaBlocks;
    const uint64_t storeBlocks = blocks + (blocks + 63) / 64;  // the DC array after the blocks
    // The store starts 16-bit but is allowed only where its 32-bit form would be.
    if (storeBlocks * 256 + PictureBytes() > kMemoryLimit) return false;
    if (!ChargeWork(2 * frame_.blocks())) return false;
    if (!progressive_.store.Allocate(storeBlocks)) return false;

    CoefficientLayout& c = progressive_.coefficients;
    c.wide = progressive_.store.IsWide();
    c.base = c.wide ? static_cast<void*>(progressive_.store.Wide()) : static_cast<void*>(progressive_.store.Narrow());
    c.blocks[0] = lumaBlocks;
    c.blocks[1] = c.blocks[2] = chromaBlocks;
    // Offsets stay below the store's size, which fits size_t.
    c.buffers[0] = 0;
    c.buffers[1] = size_t(lumaBlocks) * 64;
    c.buffers[2] = c.buffers[1] + size_t(chromaBlocks) * 64;
    c.dcArray[0] = c.buffers[2] + size_t(chromaBlocks) * 64;
    c.dcArray[1] = c.dcArray[0] + size_t(lumaBlocks);
    c.dcArray[2] = c.dcArray[1] + size_t(chromaBlocks);
    for (int i = 0; i < 3; ++i) c.dcBase[i] = c.dcArray[i];
    c.dcStride = 1;
    progressive_.peak = 0;
    return true;
}

uint64_t JpegDecoder::PictureBytes() const {
    return uint64_t(outputPitch_ < 0 ? -int64_t(outputPitch_) : outputPitch_) * bitmap_.height;
}

// Makes the store 32-bit, every value kept: within the memory cap with both forms held while
// the values move, and charged as a pass over the blocks. False when the cap, the work budget
// or memory stops it; the decode then stops as at a failed allocation. Only while no row has
// been released to the emission.
bool JpegDecoder::WidenCoefficients() {
    CoefficientStore& store = progressive_.store;
    CoefficientLayout& c = progressive_.coefficients;
    if (c.wide) return true;
    // The helper's last scan writes the 16-bit store; it is over before the store moves.
    scanAhead_.Wait();
    if (uint64_t(store.Bytes()) * 3 + PictureBytes() > kMemoryLimit) return false;
    if (!ChargeWork(frame_.blocks())) return false;
    if (!store.Widen()) return false;
    c.base = store.Wide();
    c.wide = true;
    return true;
}

namespace {

// An AC scan can give no coefficient more than the largest magnitude its table codes, shifted,
// nor a refinement move one by more than a step per position naming it: the largest magnitude
// after the scan, from `peak` before it.
uint64_t PeakAfterAcScan(uint64_t peak, const HuffmanTable& table, uint32_t spectralEnd, uint8_t approxHigh,
                         uint8_t approxLow) {
    int largestSize = 0;
    for (uint8_t symbol : table.values) largestSize = std::max(largestSize, symbol & 15);
    peak = std::max(peak, ((uint64_t(1) << largestSize) - 1) << approxLow);
    if (approxHigh != 0) {
        // Positions past 63 all name coefficient 63.
        uint64_t corrections = spectralEnd > 63 ? uint64_t(spectralEnd) - 62 : 1;
        peak += corrections << approxLow;
    }
    return std::min<uint64_t>(peak, uint64_t(1) << 40);
}

}  // namespace

// Before a scan: a 16-bit store that might not hold what an AC scan gives widens now. False
// when widening fails.
bool JpegDecoder::ReadyStoreForScan() {
    if (scan_.spectralEnd == 0 || scan_.EmptyBand()) return true;
    progressive_.peak = PeakAfterAcScan(progressive_.peak, acTables_[scan_.components[0].acSelector],
                                        scan_.spectralEnd, scan_.approxHigh, scan_.approxLow);
    return progressive_.peak <= INT16_MAX || WidenCoefficients();
}

// Called by ReadFrame after the first scan header; a frame can come back here after a failed
// scan, and each pass emits anew into fresh coefficients. False when the store cannot be had
// or the work budget is spent; otherwise true when the data ran out, else the last step's result.
bool JpegDecoder::DecodeProgressive() {
    ++captionsSet_;
    messages_.setCaption(jpeg_text::kProgressive);
    progressive_.lumaStride = size_t(frame_.maxH) * frame_.mcusAcross();
    if (!AllocateCoefficients()) return false;

    EmissionLayout layout;
    layout.coefficients = &progressive_.coefficients;
    layout.components = static_cast<int>(frame_.componentCount());
    for (int i = 0; i < layout.components; ++i) layout.quant[i] = quantTables_[frame_.components[i].quantSelector];
    layout.levelShift = frame_.levelShift();
    layout.outputRow = outputRow_;
    layout.pitch = outputPitch_;
    layout.mcusAcross = frame_.mcusAcross();
    layout.mcusDown = frame_.mcusDown();
    layout.h = frame_.maxH;
    layout.v = frame_.maxV;
    layout.reduction = reduction_;
    emission_.Begin(layout);
    progressive_.rowMark = UINT32_MAX;

    progressive_.status = true;  // the first scan header was read
    for (;;) {
        in_.bitsLeft = 0;
        if (!ChargeWork(ScanVisits())) {
            progressive_.status = false;
            break;
        }
        if (!ReadyStoreForScan()) {
            progressive_.status = false;
            break;
        }
        const bool aheadRunning = scanAhead_.Started() && !progressive_.aheadTaken;
        if (aheadRunning) {
            // The helper has the last scan: it stands for the scan met at its place, and no
            // scan before may touch the blocks it reads and writes.
            if (in_.pos == scanAhead_.plan().dataStart) {
                if (!TakeScanAhead() || !SeekNextScan()) break;
                continue;
            }
            if (TouchesLumaCoefficients()) break;
        } else if (!scanAhead_.Started()) {
            StartScanAhead();
        }
        // A DC scan may still widen a 16-bit store, which must not move under a helper emitting
        // rows: the helper of such a last scan starts once the scan is over. No row goes out
        // while the helper's last scan may still write it.
        if (!aheadRunning && (progressive_.coefficients.wide || scan_.spectralEnd != 0) && LastScanAhead()) {
            emission_.StartHelper();
            if (emission_.HelperStarted()) progressive_.rowMark = scan_.mcusAcross;
        }
        const bool complete = DecodeProgressiveScan();
        if (progressive_.feeding) {
            if (complete) scanAhead_.Feed(UINT32_MAX);
            progressive_.feeding = false;
            progressive_.rowMark = UINT32_MAX;
        }
        if (!complete || !SeekNextScan()) break;
    }
    progressive_.rowMark = UINT32_MAX;
    if (scanAhead_.Started() && !progressive_.aheadTaken) {
        // The decode stopped before the last scan, or met another one: what the helper did
        // is not what one thread does, and the decode is done again without it.
        scanAhead_.Abandon();
        scanAhead_.Wait();
        aheadFailed_ = true;
        progressive_.status = false;
    }
    emission_.Finish();
    scanAhead_.Wait();
    scanAhead_.Reset();
    progressive_.aheadTaken = false;
    // Scans reach only the frame's components, so the other buffers were never written.
    progressive_.store.Release(frame_.mcusAcross() > 0 && frame_.mcusDown() > 0);
    progressive_.coefficients = CoefficientLayout();
    return !aheadFailed_ && (in_.Beyond() || progressive_.status);
}

// At an AC scan of the luminance alone, when the helper can be had and the picture repays it:
// the helper takes the picture's last scan when the lookahead finds that this scan feeds it.
// Its values must fit the store as it is now; a store to be widened first stays on one thread.
void JpegDecoder::StartScanAhead() {
    if (!aheadAllowed_ || !scan_.lumaAlone || scan_.spectralEnd == 0 || scan_.EmptyBand() || restartInterval_ != 0 ||
        progressive_.coefficients.dcStride != 1)
        return;
    if (!HelperThread::Repays(frame_.blocks())) return;
    std::unique_ptr<ScanAheadPlan> plan(new ScanAheadPlan);
    if (!FindLastLumaScan(in_, acTables_, frame_.components[0].id, *plan)) return;
    const CoefficientLayout& c = progressive_.coefficients;
    if (!c.wide && PeakAfterAcScan(progressive_.peak, plan->table, plan->spectralEnd, plan->approxHigh,
                                   plan->approxLow) > INT16_MAX)
        return;
    ScanAheadLayout layout;
    layout.coefficients = &progressive_.coefficients;
    layout.lumaStride = progressive_.lumaStride;
    layout.across = scan_.mcusAcross;
    layout.count = scan_.mcuCount;
    layout.rowsPerMcu = frame_.maxV;
    layout.emission = &emission_;
    if (!scanAhead_.Start(*plan, in_, layout)) return;
    // The emission's share of the helper comes after the scan.
    emission_.StartHelper();
    progressive_.feeding = true;
    progressive_.rowMark = scan_.mcusAcross;
}

// At the helper's last scan, its header read: when it is the scan foreseen, the helper's
// result becomes this scan's, the rows it passes going to the emission when nothing follows it.
// False when it is not (the pass then ends as failed) or when the scan did not complete.
bool JpegDecoder::TakeScanAhead() {
    const ScanAheadPlan& plan = scanAhead_.plan();
    const HuffmanTable& table = acTables_[scan_.components[0].acSelector];
    const HuffmanTable& foreseen = plan.table;
    if (!scan_.lumaAlone || scan_.spectralStart != plan.spectralStart || scan_.spectralEnd != plan.spectralEnd ||
        scan_.approxHigh != plan.approxHigh || scan_.approxLow != plan.approxLow || table.defined != foreseen.defined ||
        table.values != foreseen.values || !std::equal(table.counts, table.counts + 16, foreseen.counts))
        return false;
    if (LastScanAhead()) {
        scanAhead_.OpenRows();
        emission_.EmitReadyRows();
    }
    scanAhead_.Wait();
    progressive_.aheadTaken = true;
    in_ = scanAhead_.input();
    progressive_.status = scanAhead_.status();
    return scanAhead_.complete();
}

// Whether the scan about to be decoded may write luminance AC coefficients, or DC values
// into the blocks.
bool JpegDecoder::TouchesLumaCoefficients() const {
    if (scan_.spectralEnd == 0 || scan_.EmptyBand()) return false;
    return scan_.components[0].index == 1 || scan_.spectralStart == 0;
}

// After a scan: handles segments up to the next scan header (true) or stops the loop (false)
// at the end-of-image marker, a failed segment or scan header, or the end of the data.
bool JpegDecoder::SeekNextScan() {
    for (;;) {
        if (!SeekMarkerCode()) return false;
        uint8_t code = in_.Peek();
        if (code == jpeg_marker::kStartOfScan) {
            in_.Advance(1);
            progressive_.status = ReadScanHeader();
            return progressive_.status;
        }
        if (code == jpeg_marker::kEndOfImage) return false;
        progressive_.status = HandleMarker();
        if (!progressive_.status) return false;
    }
}

// True when the scan is complete, false when it stopped the scan loop. A band that starts
// above its end is passed over without visiting a block.
bool JpegDecoder::DecodeProgressiveScan() {
    if (scan_.spectralEnd == 0) return scan_.approxHigh == 0 ? DecodeDcFirst() : DecodeDcRefine();
    if (scan_.EmptyBand()) return true;
    if (scan_.spectralStart == 0) PutDcValuesInBlocks();
    return scan_.approxHigh == 0 ? DecodeAcFirst() : DecodeAcRefine();
}

// From now on every DC value lives in its block: each goes there, and the array is cleared.
void JpegDecoder::PutDcValuesInBlocks() {
    if (progressive_.coefficients.dcStride != 1) return;
    if (progressive_.coefficients.wide) PutDcValuesInBlocksOf<int32_t>();
    else PutDcValuesInBlocksOf<int16_t>();
}

template <class T>
void JpegDecoder::PutDcValuesInBlocksOf() {
    CoefficientLayout& c = progressive_.coefficients;
    for (int i = 0; i < 3; ++i) {
        T* blocks = c.At<T>(c.buffers[i]);
        T* dc = c.At<T>(c.dcArray[i]);
        for (uint64_t b = 0; b < c.blocks[i]; ++b) blocks[b * 64] = dc[b];
        std::memset(dc, 0, size_t(c.blocks[i]) * sizeof(T));
        c.dcBase[i] = c.buffers[i];
    }
    c.dcStride = 64;
}

// True when the scan about to be decoded is the picture's last: the first marker after its
// header, restart markers aside, is the end of the image. Nothing can then change a block
// once this scan has passed it.
bool JpegDecoder::LastScanAhead() const {
    JpegInput look = in_;
    return NextSegmentCode(look) && look.Peek() == jpeg_marker::kEndOfImage;
}

// MCU rows of the frame that the last scan can no longer write once it reaches `unit` (a
// block, or an MCU when the scan holds more than the luminance alone). An AC scan that names
// the luminance first among several components writes the luminance blocks in the order they
// are stored (block m for MCU m), which runs behind the MCU rows when an MCU holds more than
// one luminance block.
uint32_t JpegDecoder::RowsPassed(uint32_t unit) const {
    const uint32_t unitRows = unit / scan_.mcusAcross;
    if (scan_.lumaAlone) return unitRows / frame_.maxV;
    if (scan_.spectralEnd != 0 && scan_.components[0].index == 1)
        return unit / (uint32_t(frame_.maxH) * frame_.maxV * scan_.mcusAcross);
    return unitRows;
}
