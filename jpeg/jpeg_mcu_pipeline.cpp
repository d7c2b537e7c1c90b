#include "jpeg_mcu_pipeline.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "jpeg_helper_thread.h"
#include "jpeg_idct_simd.h"
#include "jpeg_stream_store.h"

namespace {

constexpr size_t kAlignment = 64;
constexpr size_t kBatchValues = size_t(McuPipeline::kBatchBlocks) * 64;
constexpr size_t kBatchBytes = kBatchValues * sizeof(uint32_t);
constexpr size_t kStorageBytes = McuPipeline::kBatches * kBatchBytes;

// The batch storage of the last pipeline, kept for the next picture: a fresh allocation of
// this size reaches the program page by page, each faulted in and cleared.
std::atomic<void*> spareStorage{nullptr};

}  // namespace

McuPipeline::McuPipeline() {
    output_.SetLayout(&layout_);
    helperOutput_.SetLayout(&layout_);
}

McuPipeline::~McuPipeline() {
    Finish();
    if (storage_ != nullptr) std::free(spareStorage.exchange(storage_));
}

void McuPipeline::Begin(const McuLayout& layout, uint32_t mcuCount) {
    Finish();
    layout_ = layout;
    singleZero_ = false;
    finishing_.store(false, std::memory_order_relaxed);
    blocksPerMcu_ = layout.BlocksPerMcu() > 0 ? layout.BlocksPerMcu() : 1;
    batchMcus_ = kBatchBlocks / blocksPerMcu_;
    eager_ = HelperThread::Eager();
    if (eager_) batchMcus_ = 1;
    lastWritten_ = 0;
    lastByHelper_ = false;
    uint64_t blocks = uint64_t(mcuCount) * static_cast<uint64_t>(layout.BlocksPerMcu());
    static const bool streams = StreamStoresAvailable();
    if (HelperThread::Repays(blocks) && layout.SelfContained() && streams && HelperThread::Get() != nullptr &&
        TakeStorage())
        filling_ = Acquire();
}

// Batch storage, the spare or fresh; false when memory runs out.
bool McuPipeline::TakeStorage() {
    if (storage_ == nullptr) storage_ = spareStorage.exchange(nullptr);
    if (storage_ == nullptr) storage_ = std::malloc(kStorageBytes + kAlignment);
    if (storage_ == nullptr) return false;
    uintptr_t aligned = (reinterpret_cast<uintptr_t>(storage_) + kAlignment - 1) & ~uintptr_t(kAlignment - 1);
    for (int i = 0; i < kBatches; ++i) {
        batches_[i].entries = reinterpret_cast<uint32_t*>(aligned) + size_t(i) * kBatchValues;
    }
    return true;
}

void McuPipeline::Commit(uint32_t mcuNumber) {
    output_.Write(single_, singleFlags_, mcuNumber);
    ClearBlocks(single_, singleFlags_, size_t(layout_.BlocksPerMcu()));
    singleZero_ = true;
}

void McuPipeline::ClearSlot() {
    std::memset(single_, 0, sizeof single_);
    singleZero_ = true;
}

// The full batch goes to the helper and the next one is filled.
void McuPipeline::NextBatch() {
    Publish(filling_);
    filling_ = Acquire();
}

// The batch waits for the helper; a task is posted unless one is already queued or running
// (it writes every batch that waits before it ends).
void McuPipeline::Publish(int batch) {
    StreamFence();
    std::unique_lock<std::mutex> lock(mutex_);
    const uint32_t sequence = published_.fetch_add(1, std::memory_order_release) + 1;
    batches_[batch].sequence = sequence;
    if (eager_ && sequence % 2 == 0) {
        lock.unlock();
        WriteBatch(output_, batch);
        lock.lock();
        Written(batch, false);
        return;
    }
    ready_[readyCount_++] = batch;
    if (!helperPosted_.load(std::memory_order_relaxed))
        helperPosted_.store(HelperThread::Get()->Post(&McuPipeline::HelperTask, this), std::memory_order_relaxed);
    while (eager_ && !batches_[batch].free) {
        if (helperPosted_.load(std::memory_order_relaxed)) helperDone_.wait(lock);
        else WriteOldestHere(lock);
    }
}

// A free batch, emptied. With none free the oldest waiting batch is written here rather than
// waiting for the helper.
int McuPipeline::Acquire() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        for (int i = 0; i < kBatches; ++i) {
            if (batches_[i].free) {
                batches_[i].free = false;
                batches_[i].count = 0;
                batches_[i].used = 0;
                return i;
            }
        }
        if (readyCount_ > 0) {
            WriteOldestHere(lock);
            continue;
        }
        helperDone_.wait(lock);
    }
}

// The oldest batch waiting to be written; the caller holds the lock and knows one waits.
int McuPipeline::TakeOldest() {
    int oldest = ready_[0];
    for (int i = 1; i < readyCount_; ++i) ready_[i - 1] = ready_[i];
    --readyCount_;
    return oldest;
}

// Writes the oldest waiting batch on this thread; the caller holds `lock` and knows one waits.
void McuPipeline::WriteOldestHere(std::unique_lock<std::mutex>& lock) {
    int oldest = TakeOldest();
    lock.unlock();
    WriteBatch(output_, oldest);
    lock.lock();
    Written(oldest, false);
}

// Frees a written batch and notes who wrote the latest one; the caller holds the lock.
void McuPipeline::Written(int batch, bool byHelper) {
    batches_[batch].free = true;
    if (batches_[batch].sequence > lastWritten_) {
        lastWritten_ = batches_[batch].sequence;
        lastByHelper_ = byHelper;
    }
}

void McuPipeline::Finish() {
    if (filling_ < 0) return;
    Batch& b = batches_[filling_];
    if (b.count > 0) {
        Publish(filling_);
    } else {
        std::lock_guard<std::mutex> lock(mutex_);
        b.free = true;
    }
    filling_ = -1;
    finishing_.store(true, std::memory_order_release);
    std::unique_lock<std::mutex> lock(mutex_);
    while (readyCount_ > 0) WriteOldestHere(lock);
    // The helper is at most one batch from done: watch for that before sleeping on it.
    lock.unlock();
    WatchFor([this] { return !helperPosted_.load(std::memory_order_acquire); }, kWatchMicroseconds);
    lock.lock();
    helperDone_.wait(lock, [this] { return !helperPosted_.load(std::memory_order_relaxed); });
    if (lastByHelper_) output_.CarryFrom(helperOutput_);
    lastByHelper_ = false;
}

void McuPipeline::WriteBatch(McuOutput& output, int batch) {
    Batch& b = batches_[batch];
    output.WriteSparseRun({b.dc, b.entries, b.counts, b.flags}, blocksPerMcu_, b.numbers, b.count);
}

// Writes batches while any wait. Between batches it watches for the next one for a while
// before the task ends: waking a sleeping thread costs more than a batch takes on some
// systems (tens of microseconds under emulation).
void McuPipeline::HelperTask(void* argument) {
    McuPipeline& p = *static_cast<McuPipeline*>(argument);
    std::unique_lock<std::mutex> lock(p.mutex_);
    for (;;) {
        while (p.readyCount_ > 0) {
            int oldest = p.TakeOldest();
            lock.unlock();
            p.WriteBatch(p.helperOutput_, oldest);
            lock.lock();
            p.Written(oldest, true);
            p.helperDone_.notify_one();
        }
        if (p.finishing_.load(std::memory_order_acquire)) break;
        uint32_t published = p.published_.load(std::memory_order_relaxed);
        lock.unlock();
        // Another batch, or the end of the scan.
        bool more = WatchFor(
            [&p, published] {
                return p.published_.load(std::memory_order_acquire) != published ||
                       p.finishing_.load(std::memory_order_acquire);
            },
            kWatchMicroseconds);
        lock.lock();
        if (!more && p.readyCount_ == 0) break;
    }
    p.helperPosted_.store(false, std::memory_order_release);
    p.helperDone_.notify_one();
}
