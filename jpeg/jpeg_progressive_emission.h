// The rows of a progressive picture on their way to the bitmap. Each MCU row is transformed,
// written and cleared in one go, while its blocks are still in the cache; a cleared store is
// ready for the next picture without clearing it all again. Where the processor has a second
// core and the picture is large enough to repay it, the helper thread takes rows too, already
// during the last scan for the rows that scan has passed. Rows cover separate pixels, so which
// thread writes a row changes no byte.
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>

// Where a progressive frame's coefficients are: offsets, in coefficients, from the store's
// first one, whose width is fixed before any row is released. The decoder owns it; it changes
// (the DC values joining their blocks, the store widening) only while no row has been released
// to the emission.
struct CoefficientLayout {
    void* base = nullptr;     // the first coefficient of the store
    bool wide = false;        // 32-bit coefficients, else 16-bit
    size_t buffers[3] = {};   // luminance, blue difference, red difference
    uint64_t blocks[3] = {};
    size_t dcArray[3] = {};   // DC values kept apart, one per block, while dcStride is 1
    size_t dcBase[3] = {};    // where the DC values are: dcArray, or the buffers
    size_t dcStride = 1;      // 1 in dcArray, 64 in the blocks

    template <class T>
    T* At(size_t offset) const {
        return static_cast<T*>(base) + offset;
    }
};

// What the rows need besides the coefficients; fixed for one pass.
struct EmissionLayout {
    const CoefficientLayout* coefficients = nullptr;
    int components = 0;                    // frame components, 1 to 3
    const int32_t* quant[3] = {};          // the decoder's tables, read when a row is emitted
    int32_t levelShift = 0;
    uint8_t* outputRow = nullptr;
    int32_t pitch = 0;
    uint32_t mcusAcross = 0, mcusDown = 0;
    uint8_t h = 1, v = 1;                  // luminance blocks across and down an MCU: 1x1, 2x1 or 2x2
    uint8_t reduction = 0;                 // rows written at 1 / 2^reduction of their size (jpeg_reduced_output.h)
};

class ProgressiveEmission {
public:
    ProgressiveEmission() = default;
    ~ProgressiveEmission();
    ProgressiveEmission(const ProgressiveEmission&) = delete;
    ProgressiveEmission& operator=(const ProgressiveEmission&) = delete;

    // A pass over the frame begins; no row is released yet.
    void Begin(const EmissionLayout& layout);
    // Posts the helper's share once per pass, when the picture repays it (HelperThread::Repays)
    // and the helper can be had.
    void StartHelper();
    bool HelperStarted() const { return helperPosted_; }
    // Rows before `rows` are final. In the helper's eager test mode the helper emits them
    // before this returns.
    void Release(uint32_t rows);
    // Rows before `rows` are final, from any thread and in any order (the most released
    // counts); never waits, also in the eager test mode.
    void ReleaseUpTo(uint32_t rows);
    // Emits released rows on the calling thread until every row is taken, waiting for rows
    // that are not released yet.
    void EmitReadyRows();
    // Releases every row and emits them with the helper; returns once all are written.
    void Finish();

private:
    void EmitRow(uint32_t my);
    template <class T>
    void JoinDcValues(T* const first[3], uint32_t my);
    template <class T>
    void ClearRow(T* const first[3]);
    template <class T>
    void WriteReducedRow(T* const first[3], uint32_t my);
    void WaitForHelper();
    static void HelperTask(void* emission);

    EmissionLayout layout_;
    std::atomic<uint32_t> next_{0};     // the next row to take
    std::atomic<uint32_t> ready_{0};    // rows that no scan changes any more
    std::atomic<uint32_t> emitted_{0};  // rows written
    std::mutex mutex_;
    std::condition_variable done_;
    bool helperPosted_ = false, helperDone_ = false;
};
