#include "core/CopyLoop.h"

#include <algorithm>
#include <new>

CopyBuffer::CopyBuffer(size_t size)
    : data_(new (std::nothrow) unsigned char[size > 0 ? size : 1]), size_(size > 0 ? size : 1) {}

CopyResult CopyBytes(platform::File& source, platform::File& target, int64_t count,
                     CopyBuffer& buffer, const std::function<void(int64_t)>& afterStep) {
    int64_t done = 0;
    while (done < count) {
        size_t chunk = static_cast<size_t>(std::min<int64_t>(buffer.Size(), count - done));
        platform::IoResult r = source.CopyTo(target, chunk, buffer.Data());
        if (r.bytes > 0) {
            done += r.bytes;
            afterStep(r.bytes);
        }
        if (!r.ok()) return r.writing ? CopyResult::WriteFailed : CopyResult::ReadFailed;
        if (static_cast<size_t>(r.bytes) < chunk) return CopyResult::SourceEnded;
    }
    return CopyResult::Done;
}
