#include "jpeg_scan_ahead.h"

#include <thread>

#include "jpeg_helper_thread.h"
#include "jpeg_progressive_blocks.h"

ScanAhead::~ScanAhead() {
    Abandon();
    Wait();
}

bool ScanAhead::Start(const ScanAheadPlan& plan, const JpegInput& input, const ScanAheadLayout& layout) {
    if (started_) return false;
    HelperThread* helper = HelperThread::Get();
    if (helper == nullptr) return false;
    plan_ = plan;
    layout_ = layout;
    input_ = input;
    input_.SetPos(plan.dataStart);
    input_.bitsLeft = 0;
    input_.bitBuffer = 0;
    input_.held = JpegInput::HeldBits();
    nextRow_ = 0;
    done_ = false;
    started_ = helper->Post(&ScanAhead::Task, this);
    return started_;
}

void ScanAhead::Task(void* self) { static_cast<ScanAhead*>(self)->Run(); }

// The emission sees rows the scan has passed once they are open; whichever of the two threads
// comes second releases them (both accesses are sequentially consistent).
void ScanAhead::Run() {
    if (layout_.coefficients->wide) Decode<int32_t>();
    else Decode<int16_t>();
    finished_.store(true);
    if (open_.load()) layout_.emission->ReleaseUpTo(UINT32_MAX);
    std::lock_guard<std::mutex> lock(mutex_);
    done_ = true;
    doneSignal_.notify_one();
}

template <class T>
void ScanAhead::Decode() {
    const CoefficientLayout& c = *layout_.coefficients;
    AcScan scan{&plan_.table, plan_.spectralStart, plan_.spectralEnd, plan_.approxLow, 0, true};
    T* const first = c.At<T>(c.buffers[0]);
    const size_t stride = layout_.lumaStride * 64;
    auto visit = [this](uint32_t m) { return m != nextRow_ || RowStart(m); };
    if (plan_.approxHigh == 0)
        complete_ = DecodeAcBlockRows<T, AcFirstBlock<FastSource, T>, AcFirstBlock<SerialSource, T>, true>(
            input_, scan, first, stride, layout_.across, layout_.count, visit);
    else
        complete_ = DecodeAcBlockRows<T, AcRefineBlock<FastSource, T>, AcRefineBlock<SerialSource, T>, false>(
            input_, scan, first, stride, layout_.across, layout_.count, visit);
    status_ = scan.status;
}

// Before the first block of a row: the rows before it are passed, and the feeding scan must
// have passed this whole row. False when the result is abandoned.
bool ScanAhead::RowStart(uint32_t block) {
    passed_.store(block);
    if (open_.load()) layout_.emission->ReleaseUpTo(RowsBefore(block));
    nextRow_ = block + layout_.across;
    for (unsigned round = 1; fed_.load(std::memory_order_acquire) < nextRow_; ++round) {
        if (abandoned_.load(std::memory_order_acquire)) return false;
        PauseWhileWatching();
        if (round % 64 == 0) std::this_thread::yield();
    }
    return true;
}

void ScanAhead::OpenRows() {
    open_.store(true);
    if (finished_.load()) layout_.emission->ReleaseUpTo(UINT32_MAX);
    else layout_.emission->ReleaseUpTo(RowsBefore(passed_.load()));
}

void ScanAhead::Wait() {
    if (!started_) return;
    std::unique_lock<std::mutex> lock(mutex_);
    doneSignal_.wait(lock, [this] { return done_; });
}

void ScanAhead::Reset() {
    started_ = false;
    fed_.store(0);
    passed_.store(0);
    abandoned_.store(false);
    open_.store(false);
    finished_.store(false);
}
