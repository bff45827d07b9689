// Failure injection for tests: while a plan is installed, every File read,
// write and copy goes through the buffer path and obeys the plan. Never
// installed outside tests; costs one relaxed load per call otherwise.
#pragma once

#include <atomic>
#include <cstdint>

namespace platform::testing {

struct IoFaults {
    // Counted over all files from the moment the plan is installed; -1 is off.
    int64_t readErrorAfter = -1;  // reads fail with EIO once this many bytes were read
    int64_t readEndAfter = -1;    // reads meet a premature end of file past this many bytes
    int64_t writeErrorAfter = -1; // writes fail with ENOSPC once this many bytes were written

    std::atomic<int64_t> bytesRead{0};
    std::atomic<int64_t> bytesWritten{0};
};

// Installs a plan (nullptr removes it). The plan must outlive its installation.
void InstallIoFaults(IoFaults* plan);
IoFaults* InstalledIoFaults();

// Makes FreeSpace answer this value for every folder (-1 removes the override).
void OverrideFreeSpace(int64_t bytes);

// RAII installation for a test's scope.
class ScopedIoFaults {
public:
    explicit ScopedIoFaults(IoFaults& plan) { InstallIoFaults(&plan); }
    ~ScopedIoFaults() { InstallIoFaults(nullptr); }
    ScopedIoFaults(const ScopedIoFaults&) = delete;
    ScopedIoFaults& operator=(const ScopedIoFaults&) = delete;
};

}  // namespace platform::testing
