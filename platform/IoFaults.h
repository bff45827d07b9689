// Failure injection for tests: while a plan is installed, every File read and
// write obeys it, and copies go through the buffer path unless the plan keeps
// them inside the kernel, where they obey its kernel faults. Never installed
// outside tests; costs one relaxed load per call otherwise.
#pragma once

#include <atomic>
#include <cerrno>
#include <cstdint>

namespace platform::testing {

struct IoFaults {
    // Counted over all files from the moment the plan is installed; -1 is off.
    int64_t readErrorAfter = -1;   // reads fail with EIO once this many bytes were read
    int64_t readEndAfter = -1;     // reads meet a premature end of file past this many bytes
    int64_t writeErrorAfter = -1;  // writes fail with ENOSPC once this many bytes were written
    int64_t readDelayMicros = 0;   // each read waits this long: a job that lasts, on any machine

    // Copies stay inside the kernel (copy_file_range), as real joins take them;
    // the faults above then reach only plain reads and writes, these the copies.
    bool kernelCopies = false;
    int64_t kernelErrorAfter = -1;   // kernel copies fail with kernelError past this many bytes
    int kernelError = EIO;           // EXDEV, ENOSYS... are refusals: the buffer path takes over
    int64_t kernelShortAt = -1;      // the kernel call that crosses this byte stops at it
    bool kernelAnswersZero = false;  // kernel copies move nothing, as some file systems answer
    bool syncFails = false;          // File::Sync fails with EIO, as a disk that lost the data

    std::atomic<int> fileSyncs{0};    // File::Sync calls
    std::atomic<int> folderSyncs{0};  // renames made durable in their folder

    std::atomic<int64_t> bytesRead{0};
    std::atomic<int64_t> bytesWritten{0};
    std::atomic<int64_t> bytesCopied{0};  // by the kernel
};

// Installs a plan (nullptr removes it). The plan must outlive its installation.
void InstallIoFaults(IoFaults* plan);

// Makes FreeSpace answer this value for every folder (-1 removes the override).
void OverrideFreeSpace(int64_t bytes);
// Makes OpenFileLimit answer this value (-1 removes the override), where the
// system has no per-process limit that a test could lower.
void OverrideOpenFileLimit(int64_t files);

// RAII installation for a test's scope.
class ScopedIoFaults {
public:
    explicit ScopedIoFaults(IoFaults& plan) { InstallIoFaults(&plan); }
    ~ScopedIoFaults() { InstallIoFaults(nullptr); }
    ScopedIoFaults(const ScopedIoFaults&) = delete;
    ScopedIoFaults& operator=(const ScopedIoFaults&) = delete;
};

}  // namespace platform::testing
