#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <thread>

#include "platform/FaultSeam.h"

namespace platform {

namespace {
std::atomic<testing::IoFaults*> g_faults{nullptr};
std::atomic<int64_t> g_freeSpaceOverride{-1};
std::atomic<int64_t> g_openFileLimitOverride{-1};

std::optional<int64_t> Forced(const std::atomic<int64_t>& value) {
    const int64_t forced = value.load();
    if (forced < 0) return std::nullopt;
    return forced;
}
}  // namespace

namespace testing {
void InstallIoFaults(IoFaults* plan) {
    g_faults.store(plan);
}
void OverrideFreeSpace(int64_t bytes) {
    g_freeSpaceOverride.store(bytes);
}
void OverrideOpenFileLimit(int64_t files) {
    g_openFileLimitOverride.store(files);
}
}  // namespace testing

namespace fault {

testing::IoFaults* Plan() {
    return g_faults.load(std::memory_order_relaxed);
}

int64_t AllowedRead(testing::IoFaults& plan, size_t n, int& error) {
    if (plan.readDelayMicros > 0)
        std::this_thread::sleep_for(std::chrono::microseconds(plan.readDelayMicros));
    const int64_t done = plan.bytesRead.load();
    if (plan.readErrorAfter >= 0 && done >= plan.readErrorAfter) {
        error = EIO;
        return -1;
    }
    int64_t allowed = static_cast<int64_t>(n);
    if (plan.readErrorAfter >= 0) allowed = std::min(allowed, plan.readErrorAfter - done);
    if (plan.readEndAfter >= 0)
        allowed = std::min(allowed, std::max<int64_t>(0, plan.readEndAfter - done));
    return allowed;
}

int64_t AllowedWrite(testing::IoFaults& plan, size_t n, int& error) {
    const int64_t done = plan.bytesWritten.load();
    if (plan.writeErrorAfter >= 0 && done >= plan.writeErrorAfter) {
        error = ENOSPC;
        return -1;
    }
    int64_t allowed = static_cast<int64_t>(n);
    if (plan.writeErrorAfter >= 0) allowed = std::min(allowed, plan.writeErrorAfter - done);
    return allowed;
}

int64_t AllowedKernelCopy(testing::IoFaults& plan, size_t n, int& error) {
    const int64_t done = plan.bytesCopied.load();
    if (plan.kernelErrorAfter >= 0 && done >= plan.kernelErrorAfter) {
        error = plan.kernelError;
        return -1;
    }
    int64_t allowed = static_cast<int64_t>(n);
    if (plan.kernelErrorAfter >= 0) allowed = std::min(allowed, plan.kernelErrorAfter - done);
    if (plan.kernelShortAt > done) allowed = std::min(allowed, plan.kernelShortAt - done);
    return allowed;
}

std::optional<int64_t> ForcedFreeSpace() {
    return Forced(g_freeSpaceOverride);
}

std::optional<int64_t> ForcedOpenFileLimit() {
    return Forced(g_openFileLimitOverride);
}

}  // namespace fault
}  // namespace platform
