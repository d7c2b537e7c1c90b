#include "jpeg_helper_thread.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

namespace {

constexpr int kQueueLength = 16;
constexpr int kWatchMicroseconds = 500;

std::atomic<bool> enabled{true};
std::atomic<bool> eager{false};

}  // namespace

struct HelperThread::State {
    std::mutex mutex;
    std::condition_variable wake;
    Task tasks[kQueueLength] = {};
    void* arguments[kQueueLength] = {};
    int head = 0, count = 0;
    std::atomic<int> posted{0};  // count, readable without the lock
};

void HelperThread::SetEnabled(bool on) { enabled.store(on); }

void HelperThread::SetEager(bool on) { eager.store(on); }

bool HelperThread::Eager() { return eager.load(std::memory_order_relaxed); }

HelperThread* HelperThread::Get() { return enabled.load(std::memory_order_relaxed) ? Started() : nullptr; }

// Made once and never destroyed, so the waiting thread never outlives what it waits on.
HelperThread* HelperThread::Started() {
    static HelperThread* const helper = []() -> HelperThread* {
        if (std::thread::hardware_concurrency() == 1) return nullptr;  // 0 means unknown: try
        HelperThread* made = new (std::nothrow) HelperThread;
        State* state = new (std::nothrow) State;
        if (made == nullptr || state == nullptr) {
            delete made;
            delete state;
            return nullptr;
        }
        made->state_ = state;
        try {
            std::thread(&HelperThread::Run, state).detach();
        } catch (const std::system_error&) {
            delete state;
            delete made;
            return nullptr;
        }
        return made;
    }();
    return helper;
}

bool HelperThread::Post(Task task, void* argument) {
    {
        std::lock_guard<std::mutex> lock(state_->mutex);
        if (state_->count == kQueueLength) return false;
        int at = (state_->head + state_->count) % kQueueLength;
        state_->tasks[at] = task;
        state_->arguments[at] = argument;
        ++state_->count;
        state_->posted.store(state_->count, std::memory_order_release);
    }
    state_->wake.notify_one();
    return true;
}

// After a task the thread watches the queue for a while before it sleeps: a picture's scans
// and the next picture's first batch come soon, and waking a sleeping thread costs tens of
// microseconds on some systems.
void HelperThread::Run(State* state) {
    std::unique_lock<std::mutex> lock(state->mutex);
    for (;;) {
        if (state->count == 0) {
            lock.unlock();
            WatchFor([state] { return state->posted.load(std::memory_order_acquire) != 0; }, kWatchMicroseconds);
            lock.lock();
        }
        state->wake.wait(lock, [state] { return state->count > 0; });
        Task task = state->tasks[state->head];
        void* argument = state->arguments[state->head];
        state->head = (state->head + 1) % kQueueLength;
        --state->count;
        state->posted.store(state->count, std::memory_order_relaxed);
        lock.unlock();
        task(argument);
        lock.lock();
    }
}
