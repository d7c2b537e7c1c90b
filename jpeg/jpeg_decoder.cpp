#include "jpeg_decoder.h"

#include <memory>

#include "jpeg_markers.h"

#include "jpeg_fast_block.h"
#include "jpeg_mcu_decode.h"
#include "jpeg_transform.h"
#include "jpeg_zigzag.h"

const uint8_t kZigzag[64] = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

const uint8_t kZigzagWide[80] = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63, 63, 63,
    63, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63};

JpegDecoder::JpegDecoder(JpegMessages& messages) : messages_(messages) {}

void JpegDecoder::Refuse(const char* text) {
    ++messagesShown_;
    messages_.showMessage(text);
}

bool JpegDecoder::RefuseDamaged() {
    Refuse(jpeg_text::kCannotShow);
    return false;
}

// Counts `blocks` of work; false, counting nothing, when they would pass the budget.
bool JpegDecoder::ChargeWork(uint64_t blocks) {
    uint64_t budget = kWorkPerFrameBlock * frame_.blocks();
    if (blocks > budget - workDone_) return false;
    workDone_ += blocks;
    return true;
}

// Blocks the scan about to be decoded visits: every MCU's blocks of each component; in a
// progressive frame one block per MCU for components after the first, one block per MCU of
// the first component named for an AC scan, and none for a band that starts above its end.
uint64_t JpegDecoder::ScanVisits() const {
    const bool progressive = frame_.type == jpeg_marker::kProgressiveFrame;
    if (progressive && scan_.spectralEnd != 0) return scan_.EmptyBand() ? 0 : scan_.mcuCount;
    uint64_t perMcu = 0;
    for (const ScanComponent& c : scan_.components) perMcu += progressive && c.index != 1 ? 1 : c.blocksPerMcu;
    return uint64_t(scan_.mcuCount) * perMcu;
}

// Positions the input just past the start-of-image marker: at the start when the input
// begins with 0xFF or its second byte is 0xD8, else after the first 0xFF found.
bool JpegDecoder::FindStart(const uint8_t* data, uint32_t length) {
    in_.Reset(data, length);
    if (in_.At(0) != 0xFF && in_.At(1) != jpeg_marker::kStartOfImage) {
        while (in_.Peek() != 0xFF) {
            in_.Advance(1);
            if (in_.Beyond()) return false;
        }
    }
    in_.Advance(2);
    return true;
}

// The one marker search.
bool SeekMarkerCode(JpegInput& in) {
    while (in.Peek() != 0xFF) {
        in.Advance(1);
        if (in.Beyond()) return false;
    }
    do {
        in.Advance(1);
        if (in.Beyond()) return false;
    } while (in.Peek() == 0xFF);
    return true;
}

bool NextMarker(JpegInput& in) {
    if (in.Beyond()) return false;
    for (;;) {
        if (!SeekMarkerCode(in)) return false;
        if (in.Peek() != 0) return true;
        in.Advance(1);
        if (in.Beyond()) return false;
    }
}

bool JpegDecoder::SeekMarkerCode() { return ::SeekMarkerCode(in_); }

bool JpegDecoder::NextMarker() { return ::NextMarker(in_); }

// The segment whose code is at the position. True to go on: a table, a setting or a skipped
// segment read, or a code that names none of them (the next search moves on from it).
bool JpegDecoder::HandleMarker() {
    const uint8_t code = in_.Peek();
    switch (code) {
    case jpeg_marker::kHuffmanTables:
        in_.Advance(1);
        return ReadHuffmanTables();
    case jpeg_marker::kArithmeticTables:
        Refuse(jpeg_text::kArithmetic);
        return false;
    case jpeg_marker::kQuantTables:
        in_.Advance(1);
        return ReadQuantTables();
    case jpeg_marker::kRestartInterval:
        in_.Advance(1);
        return ReadRestartInterval();
    case jpeg_marker::kFirstApplication:
        in_.Advance(1);
        return ReadApp0();
    default:
        break;
    }
    if (jpeg_marker::IsSkippedSegment(code)) {
        in_.Advance(1);
        return SkipSegment();
    }
    return true;
}

bool JpegDecoder::Decode(const uint8_t* data, uint32_t length, uint8_t* row, int32_t pitch, JpegSize bitmap) {
    const bool result = DecodeOnce(data, length, row, pitch, bitmap);
    return aheadFailed_ ? DecodeAgainAlone(data, length, row, pitch, bitmap) : result;
}

// The helper decoded a last scan that the decode then did not meet as foreseen (a damaged
// file): the coefficients are not what one thread would have made, so a fresh decoder on this
// thread alone does it all again. It shows only the texts this one had not shown yet: up to
// where this one stopped, both went the same way.
bool JpegDecoder::DecodeAgainAlone(const uint8_t* data, uint32_t length, uint8_t* row, int32_t pitch, JpegSize bitmap) {
    LaterJpegMessages later(messages_, messagesShown_, captionsSet_);
    std::unique_ptr<JpegDecoder> alone(new JpegDecoder(later));
    alone->aheadAllowed_ = false;
    alone->reduction_ = reduction_;
    const bool result = alone->Decode(data, length, row, pitch, bitmap);
    frameAccepted_ = alone->frameAccepted_;
    reductionRefused_ = alone->reductionRefused_;
    frame_ = alone->frame_;
    workDone_ = alone->workDone_;
    return result;
}

bool JpegDecoder::DecodeOnce(const uint8_t* data, uint32_t length, uint8_t* row, int32_t pitch, JpegSize bitmap) {
    if (!FindStart(data, length)) return false;
    BuildScaleTable(scaleTable_);
    restartInterval_ = 0;
    mcuIndex_ = 0;
    outputRow_ = row;
    outputPitch_ = pitch;
    bitmap_ = bitmap;
    workDone_ = 0;
    for (;;) {
        if (!NextMarker()) return false;
        uint8_t code = in_.Peek();
        if (jpeg_marker::IsFrame(code)) {
            frame_.type = code;
            in_.Advance(1);
            return ReadFrame();
        }
        if (!HandleMarker()) return false;
    }
}

bool JpegDecoder::Probe(const uint8_t* data, uint32_t length, JpegSize& bitmap) {
    if (!FindStart(data, length)) return false;
    for (;;) {
        if (!NextMarker()) return false;
        if (jpeg_marker::IsFrame(in_.Peek())) break;
        // Any other segment is skipped by its length, to its last byte.
        size_t code = in_.pos;
        uint32_t segmentLength = (static_cast<uint32_t>(in_.At(code + 1)) << 8) | in_.At(code + 2);
        in_.SetPos(code + segmentLength);
        if (in_.Beyond()) return false;
    }
    in_.Advance(1);
    if (!ReadFrameHeader()) return false;
    // The picture must be addressable with a signed 32-bit pitch arithmetic.
    if (frame_.roundedWidth() * frame_.roundedHeight() * 3 > 0x7FFFFFFFull) return RefuseDamaged();
    bitmap.width = static_cast<uint32_t>(frame_.roundedWidth());
    bitmap.height = static_cast<uint32_t>(frame_.roundedHeight());
    return true;
}

// The frame header, its segments and scans, up to the end-of-image marker.
bool JpegDecoder::ReadFrame() {
    if (!ReadFrameHeader()) return false;
    if ((frame_.roundedWidth() >> reduction_) != bitmap_.width || (frame_.roundedHeight() >> reduction_) != bitmap_.height)
        return false;
    frameAccepted_ = true;
    for (;;) {
        if (!NextMarker()) return false;
        uint8_t code = in_.Peek();
        if (code == jpeg_marker::kEndOfImage) return true;
        if (code != jpeg_marker::kStartOfScan) {
            if (!HandleMarker()) return false;
            continue;
        }
        // One or more scans, back to back.
        for (;;) {
            in_.Advance(1);
            if (!ReadScanHeader()) return false;
            mcuIndex_ = 0;
            if (!DispatchScan()) return false;
            if (in_.Beyond()) return false;
            code = in_.Peek();
            if (code == jpeg_marker::kEndOfImage) return true;
            if (code != jpeg_marker::kStartOfScan) break;
        }
        if (!HandleMarker()) return false;
    }
}

bool JpegDecoder::DispatchScan() {
    if (reduction_ != 0 && !ReducedScanSupported()) {
        reductionRefused_ = true;
        return false;
    }
    if (frame_.type == jpeg_marker::kBaselineFrame) {
        if (!SequentialLayoutSupported()) {
            Refuse(jpeg_text::kUnsupported);
            return false;
        }
        if (!ChargeWork(ScanVisits())) return false;
        return DecodeSequentialScan();
    }
    if (frame_.type == jpeg_marker::kProgressiveFrame) {
        if (!ProgressiveLayoutSupported()) {
            Refuse(jpeg_text::kUnsupported);
            return false;
        }
        return DecodeProgressive();
    }
    Refuse(jpeg_text::kUnsupported);
    return false;
}

namespace {

bool LumaSamplingSupported(uint8_t h, uint8_t v) {
    return (h == 1 && v == 1) || (h == 2 && v == 1) || (h == 2 && v == 2);
}

}  // namespace

// Grey (placed on the 8x8 block grid whatever its sampling) or three components whose
// first is 1x1, 2x1 or 2x2 and whose others are 1x1.
bool JpegDecoder::SequentialLayoutSupported() const {
    const std::vector<FrameComponent>& c = frame_.components;
    if (c.size() == 1) return true;
    if (c.size() != 3 || !LumaSamplingSupported(c[0].h, c[0].v)) return false;
    return c[1].h == 1 && c[1].v == 1 && c[2].h == 1 && c[2].v == 1;
}

// Up to three components; the first 1x1, 2x1 or 2x2, the others one block per MCU.
bool JpegDecoder::ProgressiveLayoutSupported() const {
    const std::vector<FrameComponent>& c = frame_.components;
    if (c.empty() || c.size() > 3 || !LumaSamplingSupported(c[0].h, c[0].v)) return false;
    for (size_t i = 1; i < c.size(); ++i)
        if (c[i].h != 1 || c[i].v != 1) return false;
    return true;
}

// A baseline scan of a supported layout holding every component of the frame, three in frame
// order or grey.
bool JpegDecoder::ReducedScanSupported() const {
    // A progressive frame is written at its end from the whole coefficient store.
    if (frame_.type == jpeg_marker::kProgressiveFrame)
        return ProgressiveLayoutSupported() && (frame_.componentCount() == 1 || frame_.componentCount() == 3);
    if (frame_.type != jpeg_marker::kBaselineFrame || !SequentialLayoutSupported() ||
        scan_.components.size() != frame_.componentCount())
        return false;
    for (size_t i = 0; i < scan_.components.size(); ++i)
        if (scan_.components[i].index != i + 1) return false;
    return scan_.components.size() == 1 || scan_.components.size() == 3;
}

uint8_t* JpegDecoder::PixelAt(uint32_t x, uint32_t y) const {
    return outputRow_ - static_cast<ptrdiff_t>(y) * outputPitch_ + 3 * static_cast<ptrdiff_t>(x);
}
