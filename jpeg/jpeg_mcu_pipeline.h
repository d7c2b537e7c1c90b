// Decoded MCUs on their way to the picture. The decoding thread fills batches with the
// coefficients of whole MCUs, as entry lists (SparseMcu); where the processor has a second
// core and the scan is large enough to repay it, a helper thread transforms and writes each
// batch while the next one is decoded (HelperThread::Repays). When the helper falls behind,
// the decoding thread writes a waiting batch itself.
// The MCUs of one scan cover separate pixels, so the order of writing does not change one
// byte; Finish returns once every committed MCU is written. Only scans whose MCUs depend on
// their own blocks alone go to the helper (McuLayout::SelfContained); what the last MCU leaves
// in the scratch blocks is carried to the decoding thread's output for later scans. Otherwise
// every MCU is decoded into whole blocks and written as soon as it is committed, while its
// coefficients are still in the cache.
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>

#include "jpeg_mcu_output.h"

class McuPipeline {
public:
    // A batch holds this many blocks, whole MCUs of them: 64 MCUs of 4:2:0, 384 of grey.
    static constexpr int kBatchBlocks = 384;
    static constexpr int kBatches = 4;
    // How long the helper watches for the next batch before it goes to sleep.
    static constexpr int kWatchMicroseconds = 300;

    McuPipeline();
    ~McuPipeline();
    McuPipeline(const McuPipeline&) = delete;
    McuPipeline& operator=(const McuPipeline&) = delete;

    // A scan of `mcuCount` MCUs begins; the previous one must be finished.
    void Begin(const McuLayout& layout, uint32_t mcuCount);
    // True when MCUs go into batches as entry lists (SparseSlot), false when into whole blocks (Slot).
    bool Batching() const { return filling_ >= 0; }
    // Room for the next MCU's blocks and its AC flags; the same until Commit. Slot() is for
    // decoders that clear the blocks themselves; ZeroedSlot() gives them all zero (Commit
    // clears what it wrote), and DirtySlot() says a decode into it stopped half-way.
    int32_t (*Slot())[64] {
        singleZero_ = false;
        return single_;
    }
    int32_t (*ZeroedSlot())[64] {
        if (!singleZero_) ClearSlot();
        return single_;
    }
    void DirtySlot() { singleZero_ = false; }
    bool* SlotFlags() { return singleFlags_; }
    // Room for the next MCU's entry lists while Batching(); the same until CommitSparse. A
    // batch has room for 64 entries per block of every MCU it takes.
    SparseMcu SparseSlot() {
        Batch& b = batches_[filling_];
        const size_t block = size_t(b.count) * blocksPerMcu_;
        return {b.dc + block, b.entries + b.used, b.counts + block, b.flags + block};
    }
    // The sparse slot holds MCU `mcuNumber` with `entries` AC entries in all, to be written.
    void CommitSparse(uint32_t mcuNumber, uint32_t entries) {
        Batch& b = batches_[filling_];
        b.used += entries;
        b.numbers[b.count++] = mcuNumber;
        if (b.count == batchMcus_) NextBatch();
    }
    // Blocks the decoder may use while it fills a sparse slot.
    int32_t (*Scratch())[64] { return Slot(); }
    // Writes the slot as MCU `mcuNumber` (while not Batching()).
    void Commit(uint32_t mcuNumber);
    // Every committed MCU is in the picture when this returns.
    void Finish();
    // Takes over what `other` left in its scratch blocks, as if the decoding thread's output had
    // written the MCU `other` wrote last: MCUs written elsewhere came before the next committed.
    void CarryFrom(const McuOutput& other) { output_.CarryFrom(other); }

private:
    // A cache line of its own: the helper frees one batch while the next is being filled.
    struct alignas(64) Batch {
        uint32_t* entries = nullptr;      // AC entries of every block, MCU after MCU: up to 63 each
        uint32_t used = 0;                // entries committed
        int32_t dc[kBatchBlocks];         // DC value, per block
        uint8_t counts[kBatchBlocks];     // entries per block
        bool flags[kBatchBlocks];         // AC written, per block
        uint32_t numbers[kBatchBlocks];   // MCU numbers, per MCU
        uint32_t sequence = 0;            // publication order within the scan, from 1
        int count = 0;
        bool free = true;
    };

    bool TakeStorage();
    void Publish(int batch);
    void NextBatch();
    int Acquire();
    int TakeOldest();
    void WriteOldestHere(std::unique_lock<std::mutex>& lock);
    void Written(int batch, bool byHelper);
    void WriteBatch(McuOutput& output, int batch);
    static void HelperTask(void* pipeline);

    McuLayout layout_;
    McuOutput output_;        // the decoding thread's
    McuOutput helperOutput_;  // the helper's
    alignas(64) int32_t single_[kMaxMcuBlocks][64];
    bool singleFlags_[kMaxMcuBlocks];
    bool singleZero_ = false;  // every block of single_ is zero
    void ClearSlot();

    Batch batches_[kBatches];
    void* storage_ = nullptr;
    int blocksPerMcu_ = 1;
    int batchMcus_ = 1;  // MCUs per batch
    int filling_ = -1;   // batch being filled; -1 writes each MCU at once
    bool eager_ = false; // test mode: batches of one MCU, written in turn by the helper and here
    uint32_t lastWritten_ = 0;   // sequence of the latest batch written so far
    bool lastByHelper_ = false;  // and whether the helper wrote it

    std::mutex mutex_;
    std::condition_variable helperDone_;  // the helper finished a batch or its task
    int ready_[kBatches] = {};            // batches waiting, oldest first
    int readyCount_ = 0;
    std::atomic<bool> helperPosted_{false};  // a task of this pipeline is queued or running; set under the lock
    std::atomic<uint32_t> published_{0};  // batches published so far, read without the lock
    std::atomic<bool> finishing_{false};  // no batch comes before the next Begin
};
