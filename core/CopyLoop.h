// The one copy loop of every job: moves a known number of bytes from one file
// to another, one buffer at a time, and lets the job report after each buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/File.h"

enum class CopyResult {
    Done,
    ReadFailed,   // the system refused a read
    SourceEnded,  // the source ended before the count was copied
    WriteFailed,  // the system refused a write (a full disk, most often)
    // The source is no longer the file that was checked: rewritten or replaced
    // since. The copy loop cannot tell; the job finds it afterwards.
    SourceChanged,
    Cancelled,  // the job was cancelled between two steps
};

// The job's copy buffer; empty when the memory could not be had.
class CopyBuffer {
public:
    explicit CopyBuffer(size_t size);
    bool Allocated() const { return data_ != nullptr; }
    size_t Size() const { return size_; }
    void* Data() { return data_.get(); }

private:
    std::unique_ptr<unsigned char[]> data_;
    size_t size_;
};

// Copies `count` bytes from the source's position to the target's position in
// steps of at most one buffer; afterStep(n) runs after every step with the
// bytes it moved, and stops the copy as cancelled when it returns false. Never writes a byte that
// was not read, never loops on a source that stopped giving bytes. A refused read or write leaves
// its errno in `error` when one is given.
CopyResult CopyBytes(platform::File& source, platform::File& target, int64_t count,
                     CopyBuffer& buffer, const std::function<bool(int64_t)>& afterStep,
                     int* error = nullptr);
