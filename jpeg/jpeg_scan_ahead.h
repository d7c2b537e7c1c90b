// The last scan of a progressive picture decoded on the helper thread while the decoding
// thread still reads the scans before it. The last scan must code the luminance alone and be
// the first to touch its AC coefficients after one scan that feeds it (the luminance scan
// being decoded when it starts): each row of blocks waits until the feeding scan has passed
// it. The decoding thread takes the result when it reaches the last scan itself and finds it
// to be the scan foreseen; until then no row goes to the emission.
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "jpeg_input.h"
#include "jpeg_progressive_emission.h"
#include "jpeg_scan_lookahead.h"

// Where the last scan's blocks are: the luminance buffer of the store, fixed while it runs.
struct ScanAheadLayout {
    const CoefficientLayout* coefficients = nullptr;
    size_t lumaStride = 0;               // blocks per row of the store
    uint32_t across = 0, count = 0;      // the scan's blocks across, and in all
    uint8_t rowsPerMcu = 1;              // block rows per MCU row
    ProgressiveEmission* emission = nullptr;
};

class ScanAhead {
public:
    ScanAhead() = default;
    ~ScanAhead();  // abandons a running scan and waits for it
    ScanAhead(const ScanAhead&) = delete;
    ScanAhead& operator=(const ScanAhead&) = delete;

    // Posts the scan of `plan` to the helper, reading `input` from plan.dataStart. False when
    // the helper cannot take it; nothing then runs.
    bool Start(const ScanAheadPlan& plan, const JpegInput& input, const ScanAheadLayout& layout);
    bool Started() const { return started_; }
    const ScanAheadPlan& plan() const { return plan_; }

    // The decoding thread, during the feeding scan: blocks before `blocks` are final.
    void Feed(uint32_t blocks) { fed_.store(blocks, std::memory_order_release); }
    // From now on the rows the scan has passed go to the emission.
    void OpenRows();
    // The result is not wanted: the scan stops waiting for the feeding scan.
    void Abandon() { abandoned_.store(true, std::memory_order_release); }
    // Returns once the scan is over (at once when none was started).
    void Wait();

    // After Wait: the input after the scan, the result of its last symbol or bit field, and
    // whether every block was decoded.
    const JpegInput& input() const { return input_; }
    bool status() const { return status_; }
    bool complete() const { return complete_; }

    // Ready for another pass; only when no scan runs.
    void Reset();

private:
    static void Task(void* self);
    void Run();
    template <class T>
    void Decode();
    bool RowStart(uint32_t block);
    uint32_t RowsBefore(uint32_t block) const { return block / layout_.across / layout_.rowsPerMcu; }

    ScanAheadPlan plan_;
    ScanAheadLayout layout_;
    JpegInput input_;
    bool status_ = false, complete_ = false, started_ = false;
    uint32_t nextRow_ = 0;  // the block that starts the next row
    std::atomic<uint32_t> fed_{0}, passed_{0};
    std::atomic<bool> abandoned_{false}, open_{false}, finished_{false};
    std::mutex mutex_;
    std::condition_variable doneSignal_;
    bool done_ = false;
};
