// Emission of a progressive picture: every block transformed in place, and the whole padded
// picture written from the three buffers. Pixel bytes are blue, green, red. Each MCU row is
// transformed and written before the next, while its blocks are still in the cache; every
// block's transform and every pixel are the same as when all blocks go first. A written MCU
// row's blocks are cleared while they are still in the cache, so that the coefficient store
// is zero for the next picture without clearing it all again. Large pictures share the rows
// out between this thread and the helper, which starts during the last scan.
#include <atomic>
#include <cstring>
#include <thread>

#include "jpeg_colour_simd.h"
#include "jpeg_decoder.h"
#include "jpeg_helper_thread.h"
#include "jpeg_idct_simd.h"
#include "jpeg_transform.h"

namespace {

template <uint32_t H, uint32_t V>
void WritePicture(const int32_t* luma, const int32_t* cb, const int32_t* cr, uint8_t* outputRow, int32_t pitch,
                  uint32_t across, uint32_t mcuCount);

bool OnlyDc(const int32_t* block) {
    int32_t any = 0;
    for (int i = 1; i < 64; ++i) any |= block[i];
    return any == 0;
}

void TransformBlocks(int32_t* first, size_t count, const int32_t* quant, int32_t shift) {
    for (size_t b = 0; b < count; ++b) {
        int32_t* block = first + b * 64;
        if (OnlyDc(block)) TransformDcOnly(block[0], block, quant[0], shift);
        else TransformBlock(block, block, quant, shift);
    }
}

}  // namespace

void JpegDecoder::EmitProgressive() {
    rowMark_ = UINT32_MAX;
    mcusAcross = frameMcusAcross_;
    mcusDown = frameMcusDown_;
    mcuCount = mcusAcross * mcusDown;
    uint32_t area = uint32_t(maxH) * maxV;
    if (area != 1 && area != 2 && area != 4) {  // no writer: the transforms alone
        PutDcValuesInBlocks();
        int32_t* buffers[3] = {lumaBuffer, cbBuffer, crBuffer};
        for (int c = 0; c < componentCount && c < 3; ++c) TransformComponent(c, buffers[c]);
        return;
    }
    emission_.ready.store(frameMcusDown_, std::memory_order_release);
    StartEmissionHelper();
    // In the eager test mode the helper emits every row it can.
    if (!emission_.helperPosted || !HelperThread::Eager()) EmitReadyRows();
    if (emission_.helperPosted) {
        std::unique_lock<std::mutex> lock(emission_.mutex);
        emission_.done.wait(lock, [this] { return emission_.helperDone; });
    }
    // Scans reach only the frame's components, so the other buffers were never written.
    coefficientsCleared_ = mcuCount > 0;
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
        if (code == 0xD9) return true;
        if (code != 0x00 && code != 0xFF && (code < 0xD0 || code > 0xD7)) return false;
        ++at;
    }
    return false;
}

// Posts the helper's share of the emission once per picture, when the picture is large
// enough to repay it and the helper can be had.
void JpegDecoder::StartEmissionHelper() {
    if (emission_.helperPosted) return;
    uint32_t area = uint32_t(maxH) * maxV;
    if (area != 1 && area != 2 && area != 4) return;
    bool large = uint64_t(frameMcusAcross_) * frameMcusDown_ * (area + 2) >= kParallelEmissionBlocks;
    if (!large && !HelperThread::Eager()) return;
    HelperThread* helper = HelperThread::Get();
    emission_.helperPosted = helper != nullptr && helper->Post(&JpegDecoder::EmitOnHelper, this);
}

void JpegDecoder::EmitOnHelper(void* argument) {
    JpegDecoder& d = *static_cast<JpegDecoder*>(argument);
    d.EmitReadyRows();
    std::lock_guard<std::mutex> lock(d.emission_.mutex);
    d.emission_.helperDone = true;
    d.emission_.done.notify_one();
}

// Takes rows one at a time until none is left, waiting while the next is not ready yet.
void JpegDecoder::EmitReadyRows() {
    EmissionRows& rows = emission_;
    for (unsigned round = 1;; ++round) {
        uint32_t my = rows.next.load(std::memory_order_relaxed);
        if (my >= frameMcusDown_) return;
        if (my >= rows.ready.load(std::memory_order_acquire)) {
            PauseWhileWatching();
            if (round % 64 == 0) std::this_thread::yield();
            continue;
        }
        if (rows.next.compare_exchange_weak(my, my + 1, std::memory_order_relaxed)) {
            EmitRow(my);
            rows.emitted.fetch_add(1, std::memory_order_release);
        }
    }
}

// Called by the last scan when it reaches `unit` (a block, or an MCU when the scan holds more
// than the luminance alone): the rows before the first one it can still write are final.
void JpegDecoder::ReportRows(uint32_t unit) {
    uint32_t unitRows = unit / mcusAcross;
    uint32_t rows = unitRows;
    if (lumaAlone_) rows = unitRows / maxV;
    else if (LumaInScanOrder()) rows = unit / (uint32_t(maxH) * maxV * mcusAcross);
    emission_.ready.store(rows, std::memory_order_release);
    rowMark_ += mcusAcross;
    if (HelperThread::Eager()) {  // the helper emits them before the scan goes on
        while (emission_.emitted.load(std::memory_order_acquire) < rows) std::this_thread::yield();
    }
}

// True for an AC scan that names the luminance first among several components: it writes
// the luminance blocks in the order they are stored (block m for MCU m), which runs behind
// the MCU rows when an MCU holds more than one luminance block.
bool JpegDecoder::LumaInScanOrder() const {
    return !lumaAlone_ && spectralEnd != 0 && scanComponents[0].index == 1;
}

// Transforms, writes and clears MCU row `my`; touches nothing outside that row.
void JpegDecoder::EmitRow(uint32_t my) const {
    int32_t* buffers[3] = {lumaBuffer, cbBuffer, crBuffer};
    uint32_t area = uint32_t(maxH) * maxV;
    const size_t across = frameMcusAcross_, lumaPerRow = size_t(area) * across;
    for (int c = 0; c < componentCount && c < 3; ++c) {
        size_t count = c == 0 ? lumaPerRow : across;
        int32_t* first = buffers[c] + my * count * 64;
        if (dcStride_ == 1) {  // the DC values join their blocks, and their places are cleared
            int32_t* dc = dcArray_[c] + my * count;
            for (size_t b = 0; b < count; ++b) first[b * 64] = dc[b];
            std::memset(dc, 0, count * sizeof(int32_t));
        }
        TransformBlocks(first, count, quantTables[frameComponents[c].quantSelector], c == 0 ? levelShift : 0);
    }
    const int32_t* luma = buffers[0] + my * lumaPerRow * 64;
    const int32_t* cb = buffers[1] + my * across * 64;
    const int32_t* cr = buffers[2] + my * across * 64;
    uint8_t* row = outputRow - ptrdiff_t(8 * (area == 4 ? 2 : 1)) * ptrdiff_t(my) * outputPitch;
    if (area == 1) WritePicture<1, 1>(luma, cb, cr, row, outputPitch, frameMcusAcross_, frameMcusAcross_);
    else if (area == 2) WritePicture<2, 1>(luma, cb, cr, row, outputPitch, frameMcusAcross_, frameMcusAcross_);
    else WritePicture<2, 2>(luma, cb, cr, row, outputPitch, frameMcusAcross_, frameMcusAcross_);
    for (int c = 0; c < componentCount && c < 3; ++c) {
        size_t count = c == 0 ? lumaPerRow : across;
        std::memset(buffers[c] + my * count * 64, 0, count * 64 * sizeof(int32_t));
    }
}

void JpegDecoder::TransformComponent(int component, int32_t* buffer) {
    const int32_t* quant = quantTables[frameComponents[component].quantSelector];
    uint64_t blocks = component == 0 ? uint64_t(maxH) * maxV * mcuCount : mcuCount;
    int32_t shift = component == 0 ? levelShift : 0;
    for (uint64_t b = 0; b < blocks; ++b) TransformBlock(buffer + b * 64, buffer + b * 64, quant, shift);
}

namespace {

// One chroma sample's offsets; green takes one division of the sum.
struct ChromaOffsets {
    int32_t b, g, r;
};

ChromaOffsets OffsetsOf(int32_t cb, int32_t cr) {
    return {Wrap32(ScaleDiv(cb, 1815)), Wrap32((int64_t(cr) * 731 + int64_t(cb) * 352) / 1024),
            Wrap32(ScaleDiv(cr, 1436))};
}

// MCU (mx, my) covers the pixels from (8 H mx, 8 V my); luma blocks come from the block grid
// of H * across blocks per row (`stride`), one chroma sample per H x V pixels.
template <uint32_t H, uint32_t V>
void WriteMcuPortable(const int32_t* luma, const int32_t* cbBlock, const int32_t* crBlock, uint8_t* outputRow,
                      int32_t pitch, size_t stride, uint32_t mx, uint32_t my) {
    for (uint32_t y = 0; y < 8 * V; ++y) {
        const int32_t* lumaRow = luma + ((size_t(V) * my + y / 8) * stride + size_t(H) * mx) * 64 + 8 * (y % 8);
        uint8_t* p = outputRow - ptrdiff_t(8 * V * my + y) * pitch + 3 * ptrdiff_t(8 * H * mx);
        for (uint32_t x = 0; x < 8 * H; ++x, p += 3) {
            uint32_t at = 8 * (y / V) + x / H;
            ChromaOffsets o = OffsetsOf(cbBlock[at], crBlock[at]);
            int64_t lumaValue = lumaRow[(x / 8) * 64 + x % 8];
            p[0] = ClampSample(lumaValue + o.b);
            p[1] = ClampSample(lumaValue - o.g);
            p[2] = ClampSample(lumaValue + o.r);
        }
    }
}

// Each MCU by the SIMD writer when it can, else by the portable one.
template <uint32_t H, uint32_t V>
void WritePicture(const int32_t* luma, const int32_t* cb, const int32_t* cr, uint8_t* outputRow, int32_t pitch,
                  uint32_t across, uint32_t mcuCount) {
    const size_t stride = size_t(H) * across;
    for (uint32_t m = 0; m < mcuCount; ++m) {
        uint32_t mx = m % across, my = m / across;
        const int32_t* cbBlock = cb + size_t(m) * 64;
        const int32_t* crBlock = cr + size_t(m) * 64;
        const int32_t* top = luma + (size_t(V) * my * stride + size_t(H) * mx) * 64;
        const int32_t* bottom = top + (V - 1) * stride * 64;
        uint8_t* topLeft = outputRow - ptrdiff_t(8 * V * my) * pitch + 3 * ptrdiff_t(8 * H * mx);
        ColourMcu mcu{{top, top + (H - 1) * 64, bottom, bottom + (H - 1) * 64},
                      {nullptr, nullptr, nullptr, nullptr}, cbBlock, crBlock, topLeft, pitch, int(H), int(V), false};
        if (!WriteColourMcuSimd(mcu)) WriteMcuPortable<H, V>(luma, cbBlock, crBlock, outputRow, pitch, stride, mx, my);
    }
}

}  // namespace

void JpegDecoder::WritePixels1x1() {
    WritePicture<1, 1>(lumaBuffer, cbBuffer, crBuffer, outputRow, outputPitch, mcusAcross, mcuCount);
}
void JpegDecoder::WritePixels2x1() {
    WritePicture<2, 1>(lumaBuffer, cbBuffer, crBuffer, outputRow, outputPitch, mcusAcross, mcuCount);
}
void JpegDecoder::WritePixels2x2() {
    WritePicture<2, 2>(lumaBuffer, cbBuffer, crBuffer, outputRow, outputPitch, mcusAcross, mcuCount);
}
