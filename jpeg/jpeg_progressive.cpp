// Progressive frames: coefficients of the whole picture, refined scan by scan and emitted
// once at the end, whatever stops the scan loop; during the last scan the rows it has passed
// may already go to the emission.
#include <algorithm>
#include <cstddef>
#include <cstring>

#include "jpeg_decoder.h"
#include "jpeg_markers.h"

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
    if (uint64_t(store.Bytes()) * 3 + PictureBytes() > kMemoryLimit) return false;
    if (!ChargeWork(frame_.blocks())) return false;
    if (!store.Widen()) return false;
    c.base = store.Wide();
    c.wide = true;
    return true;
}

// Before a scan: an AC scan can give no coefficient more than the largest magnitude its table
// codes, shifted, nor a refinement move one by more than a step per position naming it, so a
// 16-bit store that might not hold the result widens now. False when widening fails.
bool JpegDecoder::ReadyStoreForScan() {
    if (scan_.spectralEnd == 0 || scan_.EmptyBand()) return true;
    int largestSize = 0;
    for (uint8_t symbol : acTables_[scan_.components[0].acSelector].values)
        largestSize = std::max(largestSize, symbol & 15);
    uint64_t peak = std::max(progressive_.peak, ((uint64_t(1) << largestSize) - 1) << scan_.approxLow);
    if (scan_.approxHigh != 0) {
        // Positions past 63 all name coefficient 63.
        uint64_t corrections = scan_.spectralEnd > 63 ? uint64_t(scan_.spectralEnd) - 62 : 1;
        peak += corrections << scan_.approxLow;
    }
    progressive_.peak = std::min<uint64_t>(peak, uint64_t(1) << 40);
    return progressive_.peak <= INT16_MAX || WidenCoefficients();
}

// Called by ReadFrame after the first scan header; a frame can come back here after a failed
// scan, and each pass emits anew into fresh coefficients. False when the store cannot be had
// or the work budget is spent; otherwise true when the data ran out, else the last step's result.
bool JpegDecoder::DecodeProgressive() {
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
        // A DC scan may still widen a 16-bit store, which must not move under a helper emitting
        // rows: the helper of such a last scan starts once the scan is over.
        if ((progressive_.coefficients.wide || scan_.spectralEnd != 0) && LastScanAhead()) {
            emission_.StartHelper();
            if (emission_.HelperStarted()) progressive_.rowMark = scan_.mcusAcross;
        }
        if (!DecodeProgressiveScan() || !SeekNextScan()) break;
    }
    progressive_.rowMark = UINT32_MAX;
    emission_.Finish();
    // Scans reach only the frame's components, so the other buffers were never written.
    progressive_.store.Release(frame_.mcusAcross() > 0 && frame_.mcusDown() > 0);
    progressive_.coefficients = CoefficientLayout();
    return in_.Beyond() || progressive_.status;
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
    const uint8_t* data = in_.Data();
    size_t at = in_.pos, end = in_.end;
    while (at + 1 < end) {
        const void* found = std::memchr(data + at, 0xFF, end - at - 1);
        if (found == nullptr) return false;
        at = size_t(static_cast<const uint8_t*>(found) - data);
        uint8_t code = data[at + 1];
        if (code == jpeg_marker::kEndOfImage) return true;
        if (code != 0x00 && code != 0xFF && !jpeg_marker::IsRestart(code)) return false;
        ++at;
    }
    return false;
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
