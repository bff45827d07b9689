// The loops around the system's read and write calls, and the copy through a
// buffer, with the test's failure plan applied: the same on every system, each
// system giving only its one call.
#pragma once

#include <algorithm>
#include <cerrno>

#include "platform/FaultSeam.h"
#include "platform/File.h"

namespace platform::io {

// Reads up to n bytes with `once(at, left, error)`, which reads some bytes:
// how many, 0 at the end of the file, or -1 with the errno in `error`.
template <class Once>
IoResult ReadAll(void* buffer, size_t n, Once once) {
    size_t wanted = n;
    testing::IoFaults* plan = fault::Plan();
    if (plan) {
        int error = 0;
        const int64_t allowed = fault::AllowedRead(*plan, n, error);
        if (allowed < 0) return {0, error};
        wanted = static_cast<size_t>(allowed);
    }
    IoResult result;
    auto* out = static_cast<char*>(buffer);
    while (static_cast<size_t>(result.bytes) < wanted) {
        int error = 0;
        const int64_t r =
            once(out + result.bytes, wanted - static_cast<size_t>(result.bytes), error);
        if (r < 0) {
            result.error = error;
            break;
        }
        if (r == 0) break;
        result.bytes += r;
    }
    if (plan) {
        plan->bytesRead += result.bytes;
        if (result.ok() && wanted < n && plan->readErrorAfter >= 0 &&
            plan->bytesRead.load() >= plan->readErrorAfter)
            result.error = EIO;
    }
    return result;
}

// Writes all n bytes with `once(at, left, error)`, as ReadAll reads; a call
// that writes nothing is a full disk.
template <class Once>
IoResult WriteAll(const void* buffer, size_t n, Once once) {
    IoResult result;
    size_t allowedBytes = n;
    testing::IoFaults* plan = fault::Plan();
    if (plan) {
        int error = 0;
        const int64_t allowed = fault::AllowedWrite(*plan, n, error);
        if (allowed < 0) return {0, error, true};
        allowedBytes = static_cast<size_t>(allowed);
    }
    const auto* in = static_cast<const char*>(buffer);
    while (static_cast<size_t>(result.bytes) < allowedBytes) {
        int error = 0;
        const int64_t w =
            once(in + result.bytes, allowedBytes - static_cast<size_t>(result.bytes), error);
        if (w < 0) {
            result.error = error;
            break;
        }
        if (w == 0) {
            result.error = ENOSPC;
            break;
        }
        result.bytes += w;
    }
    if (plan) {
        plan->bytesWritten += result.bytes;
        if (result.ok() && allowedBytes < n) result.error = ENOSPC;
    }
    result.writing = !result.ok();
    return result;
}

// One buffer's worth of a copy from one file's position to the other's.
inline IoResult CopyThroughBuffer(File& from, File& to, size_t n, void* buffer, size_t bufferSize) {
    const size_t wanted = std::min(n, bufferSize);
    IoResult in = from.Read(buffer, wanted);
    if (in.bytes > 0) {
        IoResult out = to.Write(buffer, static_cast<size_t>(in.bytes));
        if (!out.ok()) return out;
    }
    in.ended = in.ok() && static_cast<size_t>(in.bytes) < wanted;
    return in;
}

}  // namespace platform::io
