#include "core/SplitSize.h"

#include <limits>

int32_t PartSizeFor(int sizeMode, int64_t value, int64_t sourceSize) {
    int64_t bytes = 0;
    if (sizeMode == 0)
        bytes = value * 1048576;
    else if (value > 0)
        bytes = sourceSize / value + 1;
    if (bytes > kLargestPart) return kPartTooLarge;
    if (bytes < 0) return 0;
    return static_cast<int32_t>(bytes);
}

int64_t SplitOutputBytes(int64_t sourceSize, int32_t partSize, bool withDigests) {
    constexpr int64_t kHeaderBytes = 104;
    constexpr int64_t kDigestBytes = 32;
    int64_t bytes = sourceSize + kHeaderBytes;
    if (withDigests && partSize > 0)
        bytes += kDigestBytes * ((sourceSize + partSize - 1) / partSize);
    return bytes;
}
