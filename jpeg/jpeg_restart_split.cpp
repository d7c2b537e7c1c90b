#include "jpeg_restart_split.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "jpeg_fast_bits.h"
#include "jpeg_helper_thread.h"
#include "jpeg_idct_simd.h"
#include "jpeg_markers.h"
#include "jpeg_mcu_decode.h"

namespace {

constexpr size_t kAlignment = 64;
constexpr size_t kWorkerBlocks = RestartSplit::kMaxChunkBlocks;
constexpr size_t kWorkerBytes = kWorkerBlocks * 64 * sizeof(int32_t) + kWorkerBlocks;  // blocks, then flags
constexpr size_t kStorageBytes = 2 * kWorkerBytes + kAlignment;

// The chunk buffers of the last split, kept for the next: a fresh allocation of this size
// reaches the program page by page, each faulted in and cleared.
std::atomic<void*> spareStorage{nullptr};

}  // namespace

bool RestartSplit::Fits(const Scan& scan, uint64_t scanBlocks) {
    if (scan.intervals < 3 || scan.restartInterval == 0 || !scan.layout->SelfContained()) return false;
    if (scan.lastMcus == 0 || scan.lastMcus > scan.restartInterval) return false;
    if (uint64_t(scan.restartInterval) * uint64_t(scan.layout->BlocksPerMcu()) > kMaxChunkBlocks) return false;
    return HelperThread::Repays(scanBlocks) && HelperThread::Get() != nullptr;
}

// Chunk buffers are kept all zero between chunks, so that the decoder need not clear each
// block before it: calloc'ed, cleared after use, and handed on clear.
RestartSplit::~RestartSplit() {
    if (storage_ == nullptr) return;
    for (Worker& w : workers_) std::memset(w.blocks, 0, w.dirtyBlocks * sizeof w.blocks[0]);
    std::free(spareStorage.exchange(storage_));
}

bool RestartSplit::TakeStorage() {
    if (storage_ == nullptr) storage_ = spareStorage.exchange(nullptr);
    if (storage_ == nullptr) storage_ = std::calloc(1, kStorageBytes);
    if (storage_ == nullptr) return false;
    uintptr_t aligned = (reinterpret_cast<uintptr_t>(storage_) + kAlignment - 1) & ~uintptr_t(kAlignment - 1);
    for (int i = 0; i < 2; ++i) {
        uint8_t* base = reinterpret_cast<uint8_t*>(aligned) + size_t(i) * kWorkerBytes;
        if (workers_[i].blocks != reinterpret_cast<int32_t(*)[64]>(base)) workers_[i].dirtyBlocks = 0;
        workers_[i].blocks = reinterpret_cast<int32_t(*)[64]>(base);
        workers_[i].flags = reinterpret_cast<bool*>(base + kWorkerBlocks * 64 * sizeof(int32_t));
    }
    return true;
}

RestartSplit::Result RestartSplit::Run(const Scan& scan) {
    Result result;
    result.start = scan.input->pos;
    scan_ = scan;
    blocksPerMcu_ = static_cast<uint32_t>(scan.layout->BlocksPerMcu());
    const uint32_t intervalBlocks = scan.restartInterval * blocksPerMcu_;  // at most kMaxChunkBlocks (Fits)
    eager_ = HelperThread::Eager();
    chunkIntervals_ = intervalBlocks >= kChunkBlocks ? 1 : kChunkBlocks / intervalBlocks;
    // The eager test mode hands the helper every other chunk of about 64, down to single intervals.
    if (eager_) chunkIntervals_ = std::min(chunkIntervals_, scan.intervals / 64 + 1);
    if (!TakeStorage()) return result;
    for (Worker& w : workers_) {
        w.in = *scan.input;
        w.components = *scan.components;
        w.output.SetLayout(scan.layout);
        w.starts.assign(chunkIntervals_, 0);
        w.codes.assign(chunkIntervals_, 0);
        w.limits.assign(chunkIntervals_, 0);
        w.busy = w.decoded = w.wroteAny = false;
    }
    nextChunk_ = nextInterval_ = verifiedChunks_ = 0;
    nextStart_ = scan.input->pos;
    planEnded_ = stopped_ = false;

    HelperThread* helper = HelperThread::Get();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        helperPosted_.store(helper != nullptr && helper->Post(&RestartSplit::HelperTask, this),
                            std::memory_order_relaxed);
    }
    Work(workers_[0], false);
    std::unique_lock<std::mutex> lock(mutex_);
    while (helperPosted_.load(std::memory_order_relaxed)) WaitForChange(lock);

    result.intervals = stopped_ ? resumeInterval_ : nextInterval_;
    result.start = stopped_ ? resumeStart_ : nextStart_;
    if (result.intervals == scan.intervals)
        for (const Worker& w : workers_)
            if (w.wroteAny && w.lastMcu + 1 == uint64_t(scan.intervals - 1) * scan.restartInterval + scan.lastMcus) {
                result.end = w.afterLast;
                result.ended = true;
            }
    uint32_t last = 0;
    for (const Worker& w : workers_) {
        if (w.wroteAny && (result.lastOutput == nullptr || w.lastMcu > last)) {
            result.lastOutput = &w.output;
            last = w.lastMcu;
        }
    }
    return result;
}

// The first byte of interval `interval` is `start`: true, with the position of the marker
// code that ends it and the interval's MarkerLimit(), when that marker is the restart marker
// in sequence (any marker after the scan's last interval).
bool RestartSplit::PlanInterval(size_t start, uint32_t interval, size_t& code, size_t& limit) const {
    JpegInput probe = *scan_.input;
    probe.SetPos(start);
    limit = probe.MarkerLimit();
    probe.SetPos(limit);  // the marker search below would find no marker before it
    if (!NextMarker(probe)) return false;
    if (interval + 1 < scan_.intervals && probe.Peek() != jpeg_marker::kFirstRestart + interval % 8) return false;
    code = probe.pos;
    return true;
}

// The next chunk for `w`, its intervals planned; false when no chunk is left. In the eager
// test mode the two threads take turns, the helper first: every chunk the decoding thread
// takes is then decoded while the helper's before it may still break the plan, and the
// other way round.
bool RestartSplit::TakeChunk(Worker& w, bool helper, std::unique_lock<std::mutex>& lock) {
    for (;;) {
        if (stopped_ || planEnded_ || nextInterval_ >= scan_.intervals) return false;
        if (!eager_ || !helperPosted_.load(std::memory_order_relaxed) || (nextChunk_ % 2 == 0) == helper) break;
        WaitForChange(lock);
    }
    w.chunk = nextChunk_;
    w.first = nextInterval_;
    w.count = 0;
    size_t start = nextStart_;
    const uint32_t wanted = std::min(scan_.intervals - nextInterval_, chunkIntervals_);
    while (w.count < wanted) {
        size_t code, limit;
        if (!PlanInterval(start, w.first + w.count, code, limit)) {
            planEnded_ = true;
            break;
        }
        w.starts[w.count] = start;
        w.codes[w.count] = code;
        w.limits[w.count] = limit;
        ++w.count;
        start = code + 1;
    }
    nextInterval_ += w.count;
    nextStart_ = start;
    if (w.count == 0) {
        Changed();
        return false;
    }
    ++nextChunk_;
    w.busy = true;
    w.decoded = false;
    Changed();
    return true;
}

// Decodes the chunk's intervals as the one-thread road does, from their planned first bytes
// with fresh predictors, and counts those that decode whole and end on their planned marker.
void RestartSplit::DecodeChunk(Worker& w) {
    const uint32_t stride = scan_.restartInterval;  // MCUs between intervals in the chunk buffer
    JpegInput& in = w.in;
    w.good = 0;
    const size_t blocks = size_t(w.count) * stride * blocksPerMcu_;
    std::memset(w.blocks, 0, w.dirtyBlocks * sizeof w.blocks[0]);
    w.dirtyBlocks = blocks;
    for (uint32_t i = 0; i < w.count; ++i) {
        for (ScanComponent& c : w.components) c.dcPredictor = 0;
        in.SetPos(w.starts[i]);
        in.AdoptMarkerLimit(w.starts[i], w.limits[i]);
        in.bitsLeft = 0;
        in.held.active = false;
        const uint32_t mcus = McusOf(w.first + i);
        bool ok = true;
        for (uint32_t j = 0; j < mcus && ok; ++j) {
            size_t first = (size_t(i) * stride + j) * blocksPerMcu_;
            j += DecodeMcuRun(in, w.components, scan_.dcTables, scan_.acTables, mcus - j, w.blocks + first, w.flags + first);
            if (j == mcus) break;
            first = (size_t(i) * stride + j) * blocksPerMcu_;
            ok = DecodeMcuBlocks(in, w.components, scan_.dcTables, scan_.acTables, w.blocks + first, w.flags + first);
        }
        SettleHeldBits(in);
        if (!ok || !NextMarker(in) || in.pos != w.codes[i]) return;
        ++w.good;
        if (w.first + i + 1 == scan_.intervals) w.afterLast = in;
    }
}

// Counts the leading chunks whose intervals all ended as planned; at the first that broke the
// plan, the split stops and the one-thread road resumes at its first bad interval.
void RestartSplit::Verify() {
    while (!stopped_) {
        Worker* next = nullptr;
        for (Worker& w : workers_)
            if (w.busy && w.decoded && w.chunk == verifiedChunks_) next = &w;
        if (next == nullptr) return;
        if (next->good == next->count) {
            ++verifiedChunks_;
            continue;
        }
        stopped_ = true;
        resumeInterval_ = next->first + next->good;
        resumeStart_ = next->starts[next->good];
    }
}

void RestartSplit::Changed() {
    changes_.fetch_add(1, std::memory_order_release);
    changed_.notify_all();
}

// Waits, holding `lock` again on return, until the state changed.
void RestartSplit::WaitForChange(std::unique_lock<std::mutex>& lock) {
    const uint32_t seen = changes_.load(std::memory_order_relaxed);
    lock.unlock();
    bool moved = WatchFor([this, seen] { return changes_.load(std::memory_order_acquire) != seen; }, kWatchMicroseconds);
    lock.lock();
    if (!moved) changed_.wait(lock, [this, seen] { return changes_.load(std::memory_order_relaxed) != seen; });
}

// Chunk after chunk: decode, then write once every interval before it is known to be in
// place; a chunk after the first broken interval is dropped.
void RestartSplit::Work(Worker& w, bool helper) {
    const uint32_t stride = scan_.restartInterval;
    std::unique_lock<std::mutex> lock(mutex_);
    while (TakeChunk(w, helper, lock)) {
        lock.unlock();
        DecodeChunk(w);
        lock.lock();
        w.decoded = true;
        Verify();
        Changed();
        while (verifiedChunks_ < w.chunk && !(stopped_ && resumeInterval_ < w.first)) WaitForChange(lock);
        const uint32_t writable = verifiedChunks_ >= w.chunk ? w.good : 0;
        lock.unlock();
        for (uint32_t i = 0; i < writable; ++i) {
            const uint32_t mcus = McusOf(w.first + i);
            for (uint32_t j = 0; j < mcus; ++j) {
                size_t first = (size_t(i) * stride + j) * blocksPerMcu_;
                w.output.Write(w.blocks + first, w.flags + first, (w.first + i) * stride + j);
            }
        }
        if (writable > 0) {
            w.lastMcu = (w.first + writable - 1) * stride + McusOf(w.first + writable - 1) - 1;
            w.wroteAny = true;
        }
        // Every block of a chunk that decoded whole has its flag: those are cleared as written.
        if (w.good == w.count) {
            ClearBlocks(w.blocks, w.flags, w.dirtyBlocks);
            w.dirtyBlocks = 0;
        }
        lock.lock();
        w.busy = false;
    }
}

void RestartSplit::HelperTask(void* argument) {
    RestartSplit& s = *static_cast<RestartSplit*>(argument);
    s.Work(s.workers_[1], true);
    std::lock_guard<std::mutex> lock(s.mutex_);
    s.helperPosted_.store(false, std::memory_order_relaxed);
    s.Changed();
}
