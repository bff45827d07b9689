// Lets one thread hold another at its next safe point: the worker calls Wait()
// between buffers, the UI calls Pause() and Resume(). An open gate costs the
// worker one atomic load.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace platform {

class PauseGate {
public:
    void Pause() {
        std::lock_guard lock(mutex_);
        paused_.store(true, std::memory_order_release);
    }
    void Resume() {
        {
            std::lock_guard lock(mutex_);
            paused_.store(false, std::memory_order_release);
        }
        opened_.notify_all();
    }
    bool Paused() const { return paused_.load(std::memory_order_acquire); }
    // Returns at once while the gate is open; otherwise blocks until Resume().
    void Wait() {
        if (!paused_.load(std::memory_order_acquire)) return;
        std::unique_lock lock(mutex_);
        waiting_ = true;
        opened_.notify_all();
        opened_.wait(lock, [this] { return !paused_.load(std::memory_order_acquire); });
        waiting_ = false;
    }
    // For tests: true while the worker sits in Wait().
    bool WorkerHeld() {
        std::lock_guard lock(mutex_);
        return waiting_;
    }

private:
    std::atomic<bool> paused_{false};
    std::mutex mutex_;
    std::condition_variable opened_;
    bool waiting_ = false;
};

}  // namespace platform
