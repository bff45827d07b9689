// A value that one thread writes and another reads now and then: the job's
// counters and times. Plain loads and stores, no ordering: a reader may see a
// slightly old value, never a torn one, and the writer pays nothing for it.
#pragma once

#include <atomic>

template <class T>
class SharedValue {
public:
    SharedValue(T value = T()) : value_(value) {}
    SharedValue(const SharedValue&) = delete;
    SharedValue& operator=(const SharedValue&) = delete;

    operator T() const { return value_.load(std::memory_order_relaxed); }
    T get() const { return value_.load(std::memory_order_relaxed); }
    SharedValue& operator=(T value) {
        value_.store(value, std::memory_order_relaxed);
        return *this;
    }
    // Only the writing thread adds: no read-modify-write is needed.
    SharedValue& operator+=(T delta) {
        value_.store(value_.load(std::memory_order_relaxed) + delta, std::memory_order_relaxed);
        return *this;
    }

private:
    std::atomic<T> value_;
};
