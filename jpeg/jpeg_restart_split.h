// Restart intervals of an interleaved baseline scan decoded on two threads at once: the
// decoding thread and the helper each take chunks of whole intervals, decode them into a
// buffer of their own, and write them into the picture once every interval before them is
// known to end exactly where the one-thread decode would start the next. The marker search
// plans the intervals ahead: each must end at the next restart marker in sequence, the last
// at any marker. From the
// first interval that breaks the plan (a lost or misplaced marker, a failed interval, one
// that ends early or late) nothing more is written here, and the caller decodes on from that
// interval one interval after another, so every byte is the one-thread decode's.
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

#include "jpeg_headers.h"
#include "jpeg_huffman.h"
#include "jpeg_input.h"
#include "jpeg_mcu_output.h"

class RestartSplit {
public:
    // Intervals of more blocks than this are left to the one-thread road: a chunk is buffered whole.
    static constexpr uint32_t kMaxChunkBlocks = 4096;
    // Chunks gather whole intervals up to about this many blocks.
    static constexpr uint32_t kChunkBlocks = 1536;
    // How long a thread watches for the other's progress before it goes to sleep.
    static constexpr int kWatchMicroseconds = 300;

    // What the split reads: the scan's state at its first interval, all fixed for the scan.
    struct Scan {
        const JpegInput* input = nullptr;  // positioned on the first interval's first byte
        const std::vector<ScanComponent>* components = nullptr;
        const HuffmanTable* dcTables = nullptr;
        const HuffmanTable* acTables = nullptr;
        const McuLayout* layout = nullptr;
        uint32_t restartInterval = 0;  // MCUs per interval
        uint32_t intervals = 0;        // the scan's intervals, the last one included
        uint32_t lastMcus = 0;         // MCUs of the last interval (1 to restartInterval)
    };

    // Where the one-thread road goes on: `intervals` leading intervals are in the picture, and
    // the next starts at byte `start` with marker number `intervals` % 8 expected after it.
    // When that is all of the scan's (`ended`), `end` is the input as the one-thread road leaves it after
    // the last interval: on the code of the marker that follows.
    struct Result {
        uint32_t intervals = 0;
        size_t start = 0;
        bool ended = false;  // the last interval is among them
        JpegInput end;
        // The output that wrote the last of those MCUs, or null when none was written: what it
        // leaves in its scratch blocks is what the one-thread road would leave.
        const McuOutput* lastOutput = nullptr;
    };

    // Whether the scan is worth splitting and can be: the helper is there, every MCU depends
    // on its own blocks alone, an interval fits a chunk, and there are intervals to share.
    static bool Fits(const Scan& scan, uint64_t scanBlocks);

    RestartSplit() = default;
    RestartSplit(const RestartSplit&) = delete;
    RestartSplit& operator=(const RestartSplit&) = delete;
    ~RestartSplit();

    // Decodes and writes the leading intervals it can; returns once the helper is done with
    // them. The last interval ends at whatever marker follows it, the others at the restart
    // marker in sequence.
    Result Run(const Scan& scan);

private:
    struct Worker {
        JpegInput in;
        std::vector<ScanComponent> components;
        McuOutput output;
        int32_t (*blocks)[64] = nullptr;  // the chunk's MCUs, one after another
        bool* flags = nullptr;            // AC written, per block
        size_t dirtyBlocks = 0;           // leading blocks that may not be zero; the rest are
        std::vector<size_t> starts;       // first byte of each interval of the chunk
        std::vector<size_t> codes;        // the position of the marker code that ends it
        std::vector<size_t> limits;       // and its MarkerLimit()
        uint32_t chunk = 0, first = 0, count = 0;  // the chunk, its first interval and how many
        uint32_t good = 0;        // leading intervals that ended on their planned marker
        bool decoded = false;     // `good` is known
        bool busy = false;        // holds a chunk
        uint32_t lastMcu = 0;     // the highest MCU number written, when wroteAny
        JpegInput afterLast;      // the cursor after the scan's last interval, when it decoded it
        bool wroteAny = false;
    };

    bool TakeChunk(Worker& w, bool helper, std::unique_lock<std::mutex>& lock);
    bool PlanInterval(size_t start, uint32_t interval, size_t& code, size_t& limit) const;
    uint32_t McusOf(uint32_t interval) const {
        return interval + 1 == scan_.intervals ? scan_.lastMcus : scan_.restartInterval;
    }
    void DecodeChunk(Worker& w);
    void Verify();
    void WaitForChange(std::unique_lock<std::mutex>& lock);
    void Changed();
    void Work(Worker& w, bool helper);
    static void HelperTask(void* split);
    bool TakeStorage();

    Scan scan_;
    uint32_t chunkIntervals_ = 1;
    uint32_t blocksPerMcu_ = 1;
    bool eager_ = false;
    Worker workers_[2];  // the decoding thread's, the helper's
    void* storage_ = nullptr;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::atomic<uint32_t> changes_{0};     // bumped under the lock on every change of the state below
    uint32_t nextChunk_ = 0;               // chunk numbers taken so far
    uint32_t nextInterval_ = 0;            // first interval not in a taken chunk
    size_t nextStart_ = 0;                 // and its first byte
    bool planEnded_ = false;               // no interval can be planned past nextInterval_
    uint32_t verifiedChunks_ = 0;          // leading chunks whose intervals all ended as planned
    bool stopped_ = false;                 // an interval broke the plan: resume there
    uint32_t resumeInterval_ = 0;
    size_t resumeStart_ = 0;
    std::atomic<bool> helperPosted_{false};  // the helper's task is queued or running; set under the lock
};
