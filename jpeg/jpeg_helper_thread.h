// One helper thread for the whole process, started on first use and kept: starting a thread
// for every picture costs more than a small picture takes to decode (over a millisecond on
// some systems). Tasks run one after another in the order posted. The thread is never
// stopped; it waits for work and ends with the process.
#pragma once

class HelperThread {
public:
    using Task = void (*)(void*);

    // The process's helper, or null where the processor has a single core or no thread can
    // be started.
    static HelperThread* Get();

    // Whether Get may hand out the helper (default yes): benchmarks and tests of the
    // single-thread path turn it off.
    static void SetEnabled(bool enabled);

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

