// Progressive frames: coefficient buffers for the whole picture, refined scan by scan and
// emitted once at the end, whatever stops the scan loop; during the last scan the helper
// thread may already emit the rows that scan has passed.
#include <algorithm>
#include <cstddef>
#include <cstring>

#include "jpeg_decoder.h"

int JpegDecoder::DecodeProgressive() {
    messages_.setCaption(jpeg_text::kProgressive);
    frameMcusAcross_ = static_cast<uint32_t>((uint64_t(width) + 8u * maxH - 1) / (8u * maxH));
    frameMcusDown_ = static_cast<uint32_t>((uint64_t(height) + 8u * maxV - 1) / (8u * maxV));
    uint64_t frameMcus = uint64_t(frameMcusAcross_) * frameMcusDown_;
    // Every buffer holds at least one block; the sizes stay far from overflow in 64 bits.
    uint64_t lumaBlocks = std::max<uint64_t>(frameMcus * maxH * maxV, 1);
    uint64_t chromaBlocks = std::max<uint64_t>(frameMcus, 1);
    uint64_t blocks = lumaBlocks + 2 * chromaBlocks;
    uint64_t storeBlocks = blocks + (blocks + 63) / 64;  // the DC array after the blocks
    uint64_t pictureBytes = uint64_t(outputPitch < 0 ? -int64_t(outputPitch) : outputPitch) * pictureHeight_;
    if (storeBlocks * 256 + pictureBytes > kMemoryLimit) return 0;
    // Each pass clears its coefficients and emits the picture, whatever its scans hold.
    if (!ChargeWork(2 * frameBlocks_)) return 0;
    if (!coefficientStore_.Allocate(storeBlocks)) return 0;
    coefficientsCleared_ = false;
    lumaBlocks_ = lumaBlocks;
    chromaBlocks_ = chromaBlocks;
    lumaBuffer = coefficientStore_.Data();
    cbBuffer = lumaBuffer + lumaBlocks * 64;
    crBuffer = cbBuffer + chromaBlocks * 64;
    dcArray_[0] = crBuffer + chromaBlocks * 64;
    dcArray_[1] = dcArray_[0] + lumaBlocks;
    dcArray_[2] = dcArray_[1] + chromaBlocks;
    for (int c = 0; c < 3; ++c) dcBase_[c] = dcArray_[c];
    dcStride_ = 1;

    // A frame can come back here after a failed scan; each pass emits anew.
    emission_.next.store(0);
    emission_.ready.store(0);
    emission_.emitted.store(0);
    emission_.helperPosted = emission_.helperDone = false;
    rowMark_ = UINT32_MAX;

    status = 1;  // the first scan header was read
    for (;;) {
        in_.bitsLeft = 0;
        if (!ChargeWork(ScanVisits())) {
            status = 0;
            break;
        }
        if (LastScanAhead()) {
            StartEmissionHelper();
            if (emission_.helperPosted) rowMark_ = mcusAcross;
        }
        if (!DecodeProgressiveScan()) break;
        if (!SeekNextScan()) break;
    }
    EmitProgressive();
    coefficientStore_.Release(coefficientsCleared_);
    lumaBuffer = cbBuffer = crBuffer = nullptr;
    return in_.Beyond() ? 1 : status;
}

// After a scan: handles segments up to the next scan header (1) or stops the loop (0) at
// the end-of-image marker, a failed segment or scan header, or the end of the data.
int JpegDecoder::SeekNextScan() {
    for (;;) {
        while (in_.Peek() != 0xFF) {
            in_.Advance(1);
            if (in_.Beyond()) return 0;
        }
        do {
            in_.Advance(1);
            if (in_.Beyond()) return 0;
        } while (in_.Peek() == 0xFF);
        uint8_t code = in_.Peek();
        if (code == 0xDA) {
            in_.Advance(1);
            status = ReadScanHeader();
            return status;
        }
        if (code == 0xD9) return 0;
        status = HandleMarker();
        if (status == 0) return 0;
    }
}

// A band that starts above its end is passed over without visiting a block.
int JpegDecoder::DecodeProgressiveScan() {
    if (spectralEnd == 0) return approxHigh == 0 ? DecodeDcFirst() : DecodeDcRefine();
    if (EmptyBand()) return 1;
    if (spectralStart == 0) PutDcValuesInBlocks();
    return approxHigh == 0 ? DecodeAcFirst() : DecodeAcRefine();
}

// From now on every DC value lives in its block: each goes there, and the array is cleared.
void JpegDecoder::PutDcValuesInBlocks() {
    if (dcStride_ != 1) return;
    int32_t* buffers[3] = {lumaBuffer, cbBuffer, crBuffer};
    uint64_t counts[3] = {lumaBlocks_, chromaBlocks_, chromaBlocks_};
    for (int c = 0; c < 3; ++c) {
        for (uint64_t b = 0; b < counts[c]; ++b) buffers[c][b * 64] = dcArray_[c][b];
        std::memset(dcArray_[c], 0, counts[c] * sizeof(int32_t));
        dcBase_[c] = buffers[c];
    }
    dcStride_ = 64;
}
