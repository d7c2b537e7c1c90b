// One helper thread for the whole process, started on first use and kept: starting a thread
// for every picture costs more than a small picture takes to decode (over a millisecond on
// some systems). Tasks run one after another in the order posted. The thread is never
// stopped; it waits for work and ends with the process.
#pragma once
#include <chrono>
#include <cstdint>

// One short pause inside a watching loop, kind to the other hardware thread of the core.
inline void PauseWhileWatching() {
#if defined(__i386__) || defined(__x86_64__)
    __builtin_ia32_pause();
#endif
}

// Looks at done() until it is true (returns true) or `microseconds` have passed (returns
// false). For short waits this is cheaper than sleeping: waking a sleeping thread costs tens of
// microseconds on some systems.
template <class Done>
bool WatchFor(Done done, int microseconds) {
    auto start = std::chrono::steady_clock::now();
    for (unsigned round = 1;; ++round) {
        if (done()) return true;
        PauseWhileWatching();
        if (round % 64 == 0 && std::chrono::steady_clock::now() - start > std::chrono::microseconds(microseconds))
            return false;
    }
}

class HelperThread {
public:
    using Task = void (*)(void*);

    // The process's helper, or null where the processor has a single core or no thread can
    // be started.
    static HelperThread* Get();

    // Whether Get may hand out the helper (default yes): benchmarks and tests of the
    // single-thread path turn it off.
    static void SetEnabled(bool enabled);

    // Test-only: pictures of every size use the helper, and work goes to it as early as it
    // may, each piece finished before the decoding thread goes on: progressive rows are
    // emitted as soon as a scan has passed them, and sequential batches hold one MCU, written
    // in turn by the helper and by the decoding thread; restart intervals go out in small
    // chunks, taken in turn, the helper first. An output that depends on which
    // thread writes what, or when, then differs on every run rather than by chance.
    static void SetEager(bool eager);
    static bool Eager();

    // Whether work of `blocks` blocks repays the helper: from about a megapixel (16,384
    // blocks) on, since waking the helper costs more than it saves on smaller pictures on some
    // systems (tens of microseconds under emulation); always in the eager mode.
    static bool Repays(uint64_t blocks) { return blocks >= kMinimumBlocks || Eager(); }
    static constexpr uint64_t kMinimumBlocks = 16384;

    // Queues task(argument) and returns true, or returns false when the queue is full; the
    // caller then does the work itself. The caller keeps `argument` alive until the task ran.
    bool Post(Task task, void* argument);

private:
    static HelperThread* Started();
    HelperThread() = default;
    struct State;
    static void Run(State* state);
    State* state_ = nullptr;
};

