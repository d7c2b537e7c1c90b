#include "jpeg_decoder.h"

#include "jpeg_fast_block.h"
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

namespace {

bool IsFrameMarker(uint8_t code) {
    return code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xCC;
}

}  // namespace

JpegDecoder::JpegDecoder(JpegMessages& messages)
    : messages_(messages), errorText(jpeg_text::kCannotShow) {}

// A helper still emitting rows of this decoder is waited for (EmitProgressive always waits;
// this covers a decode left by an exception).
JpegDecoder::~JpegDecoder() {
    if (!emission_.helperPosted) return;
    std::unique_lock<std::mutex> lock(emission_.mutex);
    if (!emission_.helperDone) {
        emission_.ready.store(frameMcusDown_, std::memory_order_release);
        emission_.done.wait(lock, [this] { return emission_.helperDone; });
    }
}

void JpegDecoder::Refuse(const char* text) { messages_.showMessage(text); }

// Counts `blocks` of work; false, counting nothing, when they would pass the budget.
bool JpegDecoder::ChargeWork(uint64_t blocks) {
    uint64_t budget = kWorkPerFrameBlock * frameBlocks_;
    if (blocks > budget - workDone_) return false;
    workDone_ += blocks;
    return true;
}

// Blocks the scan about to be decoded visits: every MCU's blocks of each component; in a
// progressive frame one block per MCU for components after the first, one block per MCU of
// the first component named for an AC scan, and none for a band that starts above its end.
uint64_t JpegDecoder::ScanVisits() const {
    const bool progressive = frameType == 0xC2;
    if (EmptyBand()) return 0;
    if (progressive && spectralEnd != 0) return mcuCount;
    uint64_t perMcu = 0;
    for (const ScanComponent& c : scanComponents) perMcu += progressive && c.index != 1 ? 1 : c.blocksPerMcu;
    return uint64_t(mcuCount) * perMcu;
}

// Positions the input just past the start-of-image marker: at the start when the input
// begins with 0xFF or its second byte is 0xD8, else after the first 0xFF found.
int JpegDecoder::FindStart(const uint8_t* data, uint32_t length) {
    in_.Reset(data, length);
    if (in_.At(0) != 0xFF && in_.At(1) != 0xD8) {
        while (in_.Peek() != 0xFF) {
            in_.Advance(1);
            if (in_.Beyond()) return 0;
        }
    }
    in_.Advance(2);
    return 1;
}

// Leaves the position on the code of the next marker (the byte after 0xFF and any fill
// bytes); 0xFF 0x00 is stuffed data and is passed over.
int JpegDecoder::NextMarker() {
    if (in_.Beyond()) return 0;
    for (;;) {
        while (in_.Peek() != 0xFF) {
            in_.Advance(1);
            if (in_.Beyond()) return 0;
        }
        do {
            in_.Advance(1);
            if (in_.Beyond()) return 0;
        } while (in_.Peek() == 0xFF);
        if (in_.Peek() != 0) return 1;
        in_.Advance(1);
        if (in_.Beyond()) return 0;
    }
}

int JpegDecoder::HandleMarker() {
    switch (in_.Peek()) {
    case 0xC4:
        in_.Advance(1);
        return ReadHuffmanTables();
    case 0xCC:
        Refuse(jpeg_text::kArithmetic);
        return 0;
    case 0xDB:
        in_.Advance(1);
        return ReadQuantTables();
    case 0xDD:
        in_.Advance(1);
        return ReadRestartInterval();
    case 0xE0:
        in_.Advance(1);
        return ReadApp0();
    default:
        break;
    }
    uint8_t code = in_.Peek();
    if ((code >= 0xE1 && code <= 0xEF) || code == 0xFE) {
        in_.Advance(1);
        return SkipSegment();
    }
    return 1;  // anything else: the next search moves on from the code
}

int JpegDecoder::Decode(const uint8_t* data, uint32_t length, uint8_t* row, int32_t pitch,
                        uint32_t pictureWidth, uint32_t pictureHeight) {
    if (!FindStart(data, length)) return 0;
    BuildScaleTable(scaleTable);
    restartInterval = 0;
    mcuIndex = 0;
    outputRow = row;
    outputPitch = pitch;
    pictureWidth_ = pictureWidth;
    pictureHeight_ = pictureHeight;
    workDone_ = 0;
    for (;;) {
        if (!NextMarker()) return 0;
        uint8_t code = in_.Peek();
        if (IsFrameMarker(code)) {
            frameType = code;
            in_.Advance(1);
            return ReadFrame();
        }
        int result = HandleMarker();
        if (result != 1) return result;
    }
}

int JpegDecoder::Probe(const uint8_t* data, uint32_t length) {
    if (!FindStart(data, length)) return 0;
    for (;;) {
        if (!NextMarker()) return 0;
        if (IsFrameMarker(in_.Peek())) break;
        // Any other segment is skipped by its length, to its last byte.
        size_t code = in_.pos;
        uint32_t segmentLength = (static_cast<uint32_t>(in_.At(code + 1)) << 8) | in_.At(code + 2);
        in_.SetPos(code + segmentLength);
        if (in_.Beyond()) return 0;
    }
    in_.Advance(1);
    if (!ReadFrameHeader(false)) return 0;
    uint64_t roundedWidth = 8ull * scanMaxH * ((width + 8ull * scanMaxH - 1) / (8ull * scanMaxH));
    uint64_t roundedHeight = 8ull * scanMaxV * ((height + 8ull * scanMaxV - 1) / (8ull * scanMaxV));
    frameComponents.clear();
    // The picture must be addressable with a signed 32-bit pitch arithmetic.
    if (roundedWidth * roundedHeight * 3 > 0x7FFFFFFFull) {
        Refuse(errorText.c_str());
        return 0;
    }
    width = static_cast<uint32_t>(roundedWidth);
    height = static_cast<uint32_t>(roundedHeight);
    return 1;
}

// The frame header, its segments and scans, up to the end-of-image marker.
int JpegDecoder::ReadFrame() {
    if (!ReadFrameHeader(true)) return 0;
    for (;;) {
        if (!NextMarker()) return 0;
        uint8_t code = in_.Peek();
        if (code == 0xD9) return 1;
        if (code != 0xDA) {
            if (!HandleMarker()) return 0;
            continue;
        }
        // One or more scans, back to back.
        for (;;) {
            in_.Advance(1);
            if (!ReadScanHeader()) return 0;
            mcuIndex = 0;
            if (!DispatchScan()) return 0;
            if (in_.Beyond()) return 0;
            code = in_.Peek();
            if (code == 0xD9) return 1;
            if (code != 0xDA) break;
        }
        if (!HandleMarker()) return 0;
    }
}

int JpegDecoder::DispatchScan() {
    if (frameType == 0xC0) {
        if (!SequentialLayoutSupported()) {
            Refuse(jpeg_text::kUnsupported);
            return 0;
        }
        if (!ChargeWork(ScanVisits())) return 0;
        return DecodeSequentialScan();
    }
    if (frameType == 0xC2) {
        if (!ProgressiveLayoutSupported()) {
            Refuse(jpeg_text::kUnsupported);
            return 0;
        }
        return DecodeProgressive();
    }
    Refuse(jpeg_text::kUnsupported);
    return 0;
}

namespace {

bool LumaSamplingSupported(uint8_t h, uint8_t v) {
    return (h == 1 && v == 1) || (h == 2 && v == 1) || (h == 2 && v == 2);
}

}  // namespace

// Grey (placed on the 8x8 block grid whatever its sampling) or three components whose
// first is 1x1, 2x1 or 2x2 and whose others are 1x1.
bool JpegDecoder::SequentialLayoutSupported() const {
    if (componentCount == 1) return true;
    if (componentCount != 3) return false;
    if (!LumaSamplingSupported(frameComponents[0].h, frameComponents[0].v)) return false;
    for (int i = 1; i < 3; ++i)
        if (frameComponents[i].h != 1 || frameComponents[i].v != 1) return false;
    return true;
}

// Up to three components; the first 1x1, 2x1 or 2x2, the others one block per MCU.
bool JpegDecoder::ProgressiveLayoutSupported() const {
    if (componentCount == 0 || componentCount > 3) return false;
    if (!LumaSamplingSupported(frameComponents[0].h, frameComponents[0].v)) return false;
    for (size_t i = 1; i < frameComponents.size(); ++i)
        if (frameComponents[i].h != 1 || frameComponents[i].v != 1) return false;
    return true;
}

uint8_t* JpegDecoder::PixelAt(uint32_t x, uint32_t y) const {
    return outputRow - static_cast<ptrdiff_t>(y) * outputPitch + 3 * static_cast<ptrdiff_t>(x);
}
