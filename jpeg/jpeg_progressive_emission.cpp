// Emission of a progressive picture, MCU row by MCU row: every block transformed in place, the
// row's pixels written from the three buffers (blue, green, red bytes), its blocks cleared.
// Every block's transform and every pixel are the same as when all blocks go first.
#include "jpeg_progressive_emission.h"

#include <cstring>
#include <thread>

#include "jpeg_coefficient_mask.h"
#include "jpeg_colour_simd.h"
#include "jpeg_helper_thread.h"
#include "jpeg_idct_simd.h"
#include "jpeg_mcu_output.h"
#include "jpeg_reduced_output.h"
#include "jpeg_transform.h"

namespace {

template <class T>
bool OnlyDc(const T* block) {
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

// The transform of a 16-bit block into `out`.
void TransformNarrowBlock(const int16_t* block, int32_t* out, const int32_t* quant, int32_t shift) {
    if (WidenBlock(block, out)) TransformBlock(out, out, quant, shift);
    else TransformDcOnly(out[0], out, quant[0], shift);
}

// A block of the store as 32-bit coefficients, and whether any AC value is set.
void Widen(const int16_t* block, int32_t* out, bool& acWritten) { acWritten = WidenBlock(block, out); }
void Widen(const int32_t* block, int32_t* out, bool& acWritten) {
    for (int i = 0; i < 64; ++i) out[i] = block[i];
    acWritten = !OnlyDc(block);
}

// One chroma sample's offsets; green takes one division of the sum.
struct ChromaOffsets {
    int32_t b, g, r;
};

ChromaOffsets OffsetsOf(int32_t cb, int32_t cr) {
    return {Wrap32(ScaleDiv(cb, 1815)), Wrap32((int64_t(cr) * 731 + int64_t(cb) * 352) / 1024),
            Wrap32(ScaleDiv(cr, 1436))};
}

// The MCU at `topLeft`: H x V luma blocks from the row of H * across blocks (`stride`), one
// chroma sample per H x V pixels.
template <uint32_t H, uint32_t V>
void WriteMcuPortable(const int32_t* luma, const int32_t* cbBlock, const int32_t* crBlock, uint8_t* topLeft,
                      int32_t pitch, size_t stride) {
    for (uint32_t y = 0; y < 8 * V; ++y) {
        const int32_t* lumaRow = luma + (y / 8) * stride * 64 + 8 * (y % 8);
        uint8_t* p = topLeft - ptrdiff_t(y) * pitch;
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

// One MCU row, each MCU by the SIMD writer when it can, else by the portable one.
template <uint32_t H, uint32_t V>
void WriteRow(const int32_t* luma, const int32_t* cb, const int32_t* cr, uint8_t* row, int32_t pitch,
              uint32_t across) {
    const size_t stride = size_t(H) * across;
    for (uint32_t mx = 0; mx < across; ++mx) {
        const int32_t* cbBlock = cb + size_t(mx) * 64;
        const int32_t* crBlock = cr + size_t(mx) * 64;
        const int32_t* top = luma + size_t(H) * mx * 64;
        const int32_t* bottom = top + (V - 1) * stride * 64;
        uint8_t* topLeft = row + 3 * ptrdiff_t(8 * H * mx);
        ColourMcu mcu{{top, top + (H - 1) * 64, bottom, bottom + (H - 1) * 64},
                      {nullptr, nullptr, nullptr, nullptr}, cbBlock, crBlock, topLeft, pitch, int(H), int(V), false};
        if (!WriteColourMcuSimd(mcu)) WriteMcuPortable<H, V>(top, cbBlock, crBlock, topLeft, pitch, stride);
    }
}

// One MCU row from 16-bit blocks: each MCU's blocks are transformed into 32-bit samples on
// the stack and written from there. A missing component's blocks stay zero.
template <uint32_t H, uint32_t V>
void WriteNarrowRow(const int16_t* const first[3], int components, const int32_t* const quant[3], int32_t levelShift,
                    uint8_t* row, int32_t pitch, uint32_t across) {
    alignas(32) int32_t work[H * V + 2][64] = {};
    const size_t stride = size_t(H) * across;
    for (uint32_t mx = 0; mx < across; ++mx) {
        for (uint32_t y = 0; y < V; ++y)
            for (uint32_t x = 0; x < H; ++x)
                TransformNarrowBlock(first[0] + (y * stride + size_t(H) * mx + x) * 64, work[y * H + x], quant[0], levelShift);
        for (int i = 1; i < components; ++i)
            TransformNarrowBlock(first[i] + size_t(mx) * 64, work[H * V + i - 1], quant[i], 0);
        const int32_t* top = work[0];
        const int32_t* bottom = work[(V - 1) * H];
        uint8_t* topLeft = row + 3 * ptrdiff_t(8 * H * mx);
        ColourMcu mcu{{top, top + (H - 1) * 64, bottom, bottom + (H - 1) * 64},
                      {nullptr, nullptr, nullptr, nullptr}, work[H * V], work[H * V + 1], topLeft, pitch, int(H), int(V),
                      false};
        if (!WriteColourMcuSimd(mcu)) WriteMcuPortable<H, V>(top, work[H * V], work[H * V + 1], topLeft, pitch, H);
    }
}

}  // namespace

// A helper still emitting rows is waited for (Finish always waits; this covers a decode left
// by an exception).
ProgressiveEmission::~ProgressiveEmission() {
    if (!helperPosted_) return;
    ready_.store(layout_.mcusDown, std::memory_order_release);
    WaitForHelper();
}

void ProgressiveEmission::Begin(const EmissionLayout& layout) {
    layout_ = layout;
    next_.store(0);
    ready_.store(0);
    emitted_.store(0);
    helperPosted_ = helperDone_ = false;
}

void ProgressiveEmission::StartHelper() {
    if (helperPosted_) return;
    const uint64_t blocks = uint64_t(layout_.mcusAcross) * layout_.mcusDown * (uint32_t(layout_.h) * layout_.v + 2);
    if (!HelperThread::Repays(blocks)) return;
    HelperThread* helper = HelperThread::Get();
    helperPosted_ = helper != nullptr && helper->Post(&ProgressiveEmission::HelperTask, this);
}

void ProgressiveEmission::Release(uint32_t rows) {
    ready_.store(rows, std::memory_order_release);
    if (HelperThread::Eager() && helperPosted_) {
        while (emitted_.load(std::memory_order_acquire) < rows) std::this_thread::yield();
    }
}

void ProgressiveEmission::ReleaseUpTo(uint32_t rows) {
    uint32_t now = ready_.load(std::memory_order_relaxed);
    while (now < rows && !ready_.compare_exchange_weak(now, rows, std::memory_order_release, std::memory_order_relaxed)) {
    }
}

void ProgressiveEmission::Finish() {
    ready_.store(layout_.mcusDown, std::memory_order_release);
    StartHelper();
    // In the eager test mode the helper emits every row it can.
    if (!helperPosted_ || !HelperThread::Eager()) EmitReadyRows();
    if (helperPosted_) WaitForHelper();
    helperPosted_ = false;
}

void ProgressiveEmission::WaitForHelper() {
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait(lock, [this] { return helperDone_; });
}

void ProgressiveEmission::HelperTask(void* argument) {
    ProgressiveEmission& e = *static_cast<ProgressiveEmission*>(argument);
    e.EmitReadyRows();
    std::lock_guard<std::mutex> lock(e.mutex_);
    e.helperDone_ = true;
    e.done_.notify_one();
}

// Takes rows one at a time until none is left, waiting while the next is not ready yet.
void ProgressiveEmission::EmitReadyRows() {
    for (unsigned round = 1;; ++round) {
        uint32_t my = next_.load(std::memory_order_relaxed);
        if (my >= layout_.mcusDown) return;
        if (my >= ready_.load(std::memory_order_acquire)) {
            PauseWhileWatching();
            if (round % 64 == 0) std::this_thread::yield();
            continue;
        }
        if (next_.compare_exchange_weak(my, my + 1, std::memory_order_relaxed)) {
            EmitRow(my);
            emitted_.fetch_add(1, std::memory_order_release);
        }
    }
}

// While DC values are kept apart, those of row `my` join their blocks and their places are
// cleared.
template <class T>
void ProgressiveEmission::JoinDcValues(T* const first[3], uint32_t my) {
    const CoefficientLayout& c = *layout_.coefficients;
    if (c.dcStride != 1) return;
    const size_t across = layout_.mcusAcross;
    for (int i = 0; i < layout_.components; ++i) {
        size_t count = i == 0 ? size_t(layout_.h) * layout_.v * across : across;
        T* dc = c.At<T>(c.dcArray[i]) + my * count;
        for (size_t b = 0; b < count; ++b) first[i][b * 64] = dc[b];
        std::memset(dc, 0, count * sizeof(T));
    }
}

template <class T>
void ProgressiveEmission::ClearRow(T* const first[3]) {
    const size_t across = layout_.mcusAcross;
    for (int i = 0; i < layout_.components; ++i)
        std::memset(first[i], 0, (i == 0 ? size_t(layout_.h) * layout_.v * across : across) * 64 * sizeof(T));
}

// Row `my` at 1 / 2^reduction of its size: each MCU's blocks are widened beside the store and
// go through the reduced MCU writer of sequential scans, with the quantisers as they are now.
template <class T>
void ProgressiveEmission::WriteReducedRow(T* const first[3], uint32_t my) {
    const EmissionLayout& l = layout_;
    McuLayout m;
    m.components = l.components;
    for (int i = 0; i < l.components; ++i) {
        m.index[i] = static_cast<uint8_t>(i + 1);
        m.blocks[i] = static_cast<uint8_t>(i == 0 ? l.h * l.v : 1);
        std::memcpy(m.quant[i], l.quant[i], sizeof m.quant[i]);
        m.quantChecked[i] = WithinQuantiserLimit(m.quant[i]);
    }
    m.levelShift = l.levelShift;
    m.outputRow = l.outputRow;
    m.pitch = l.pitch;
    m.mcusAcross = l.mcusAcross;
    m.h = l.h;
    m.v = l.v;
    m.reduction = l.reduction;
    const size_t stride = size_t(l.h) * l.mcusAcross;
    alignas(64) int32_t blocks[6][64];
    bool acWritten[6];
    for (uint32_t mx = 0; mx < l.mcusAcross; ++mx) {
        int b = 0;
        for (uint32_t y = 0; y < l.v; ++y)
            for (uint32_t x = 0; x < l.h; ++x, ++b)
                Widen(first[0] + (y * stride + size_t(l.h) * mx + x) * 64, blocks[b], acWritten[b]);
        for (int i = 1; i < l.components; ++i, ++b) Widen(first[i] + size_t(mx) * 64, blocks[b], acWritten[b]);
        WriteReducedMcu(m, blocks, acWritten, my * l.mcusAcross + mx);
    }
}

// Transforms, writes and clears MCU row `my`; touches nothing outside that row. 32-bit blocks
// are transformed in place, 16-bit ones MCU by MCU beside the store.
void ProgressiveEmission::EmitRow(uint32_t my) {
    const EmissionLayout& l = layout_;
    const CoefficientLayout& c = *l.coefficients;
    const uint32_t area = uint32_t(l.h) * l.v;
    const size_t across = l.mcusAcross, lumaPerRow = size_t(area) * across;
    uint8_t* row = l.outputRow - ptrdiff_t(8 * l.v) * ptrdiff_t(my) * l.pitch;
    if (!c.wide) {
        int16_t* first[3];
        for (int i = 0; i < 3; ++i) first[i] = c.At<int16_t>(c.buffers[i]) + my * (i == 0 ? lumaPerRow : across) * 64;
        JoinDcValues(first, my);
        const int16_t* const blocks[3] = {first[0], first[1], first[2]};
        if (l.reduction != 0) WriteReducedRow(first, my);
        else if (area == 1) WriteNarrowRow<1, 1>(blocks, l.components, l.quant, l.levelShift, row, l.pitch, l.mcusAcross);
        else if (area == 2) WriteNarrowRow<2, 1>(blocks, l.components, l.quant, l.levelShift, row, l.pitch, l.mcusAcross);
        else WriteNarrowRow<2, 2>(blocks, l.components, l.quant, l.levelShift, row, l.pitch, l.mcusAcross);
        ClearRow(first);
        return;
    }
    int32_t* first[3];
    for (int i = 0; i < 3; ++i) first[i] = c.At<int32_t>(c.buffers[i]) + my * (i == 0 ? lumaPerRow : across) * 64;
    JoinDcValues(first, my);
    if (l.reduction != 0) {
        WriteReducedRow(first, my);
        ClearRow(first);
        return;
    }
    for (int i = 0; i < l.components; ++i)
        TransformBlocks(first[i], i == 0 ? lumaPerRow : across, l.quant[i], i == 0 ? l.levelShift : 0);
    if (area == 1) WriteRow<1, 1>(first[0], first[1], first[2], row, l.pitch, l.mcusAcross);
    else if (area == 2) WriteRow<2, 1>(first[0], first[1], first[2], row, l.pitch, l.mcusAcross);
    else WriteRow<2, 2>(first[0], first[1], first[2], row, l.pitch, l.mcusAcross);
    ClearRow(first);
}
