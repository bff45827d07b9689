// Hashes the parts of a set on several threads at once: each part is read and
// hashed whole by one worker, so the digests are those of HashStream. A worker
// keeps several parts in flight, one in each lane of MD5UpdateLanes (eight
// where the processor has AVX2, one elsewhere), each with its own buffer:
// memory stays at workers x lanes x buffer, 2 x 8 x 128 KiB = 2 MiB on two
// cores by default.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "formats/native/md5.h"
#include "platform/File.h"

// One part: a file the caller holds open, or else one the worker opens by its
// path (Share::Read) and closes once hashed. An open file serves one part only:
// the workers move its position.
struct PartToHash {
    platform::File* file = nullptr;
    std::string path;
    int64_t offset = 0;
    int64_t bytes = -1;  // from offset to the end of the file when negative
};

struct PartHashOptions {
    // 0: one per core. Never more than there are parts.
    unsigned workers = 0;
    size_t bufferSize = 128 * 1024;  // for each part in flight; 0 takes this default
    // The parts each worker keeps in flight, at most 8; 0: as many as
    // MD5UpdateLanes hashes at once on this processor.
    unsigned lanes = 0;
    // Hash every part even after one failed, for a check that reports them all;
    // otherwise no part after a failed one is read any further.
    bool everyPart = false;
    // After every buffer: the part, its bytes hashed so far and those of all
    // parts. Never called by two workers at once.
    std::function<void(size_t part, int64_t partBytes, int64_t allBytes)> progress;
    // Once a part is hashed or has failed (`error` 0 when it was hashed), in
    // the order they end. Never called by two workers at once, nor with progress.
    std::function<void(size_t part, int error)> partDone;
    // Called by every worker between two buffers, by several at once: a pause
    // that blocks there holds them all.
    std::function<void()> pause;
    // Asked by every worker before each part and between two buffers; once it
    // answers true every worker stops.
    std::function<bool()> cancelled;
};

struct PartHashResult {
    // One entry per part; nothing for a part that failed or was not hashed.
    std::vector<std::optional<Digest>> digests;
    // The errno of each part that failed, 0 for the others.
    std::vector<int> errors;
    // The lowest-numbered part that failed and its errno, whatever the order the
    // failures came in; -1 when none did. Every part before it was hashed,
    // unless the hash was cancelled.
    int failedPart = -1;
    int error = 0;
    bool cancelled = false;
    bool ok() const { return failedPart < 0 && !cancelled; }
};

// How many workers hash `parts` parts when `forced` are asked for (0: one per core).
unsigned PartHashWorkers(unsigned forced, size_t parts);

// Runs `work` on `workers` threads, the calling thread one of them, and
// returns once every one has ended. A thread the system cannot start is left
// out: those that run take its share.
void RunOnWorkers(unsigned workers, const std::function<void()>& work);
// Runs `beside` on a thread of its own while `work` runs on the calling one,
// and returns once both have ended; `beside` runs after `work` when the system
// cannot start a thread. An exception of `beside` is rethrown here, once
// `work` has ended.
void RunBeside(const std::function<void()>& beside, const std::function<void()>& work);

// Hashes the parts; the calling thread is one of the workers. A part that
// cannot be opened, read, or ends before its bytes fails with the errno of
// HashRange (ESTALE for the last), EINVAL for an open file given twice. An
// exception thrown by a callback stops every worker and is rethrown here.
PartHashResult HashParts(const std::vector<PartToHash>& parts, const PartHashOptions& options = {});
