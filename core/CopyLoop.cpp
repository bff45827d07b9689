#include "core/CopyLoop.h"

#include <algorithm>
#include <new>

CopyBuffer::CopyBuffer(size_t size)
    : data_(new (std::nothrow) unsigned char[size > 0 ? size : 1]), size_(size > 0 ? size : 1) {}

namespace {
// A copy inside the kernel never touches the buffer, but every call costs a
// couple of microseconds: with a 16 KiB buffer that was a third of a join's
// time against cat. Kernel steps are therefore at least this large, which
// still shows progress and honours a pause every millisecond or so.
constexpr size_t kKernelStep = 1 << 20;
}  // namespace

CopyResult CopyBytes(platform::File& source, platform::File& target, int64_t count,
                     CopyBuffer& buffer, const std::function<bool(int64_t)>& afterStep,
                     int* error) {
    const size_t step = std::max(buffer.Size(), kKernelStep);
    int64_t done = 0;
    while (done < count) {
        size_t chunk = static_cast<size_t>(std::min<int64_t>(step, count - done));
        platform::IoResult r = source.CopyTo(target, chunk, buffer.Data(), buffer.Size());
        const bool goOn = r.bytes <= 0 || (done += r.bytes, afterStep(r.bytes));
        if (!r.ok()) {
            if (error) *error = r.error;
            return r.writing ? CopyResult::WriteFailed : CopyResult::ReadFailed;
        }
        if (r.ended) return CopyResult::SourceEnded;
        if (!goOn && done < count) return CopyResult::Cancelled;
    }
    return CopyResult::Done;
}
