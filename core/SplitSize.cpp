#include "core/SplitSize.h"

#include <limits>

using texts::Say;
using texts::TextId;

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

int64_t PlainPartSizeFor(int sizeMode, int64_t value, int64_t sourceSize) {
    if (value <= 0) return 0;
    if (sizeMode == kSizeModeTaille) return value * 1048576;
    return (sourceSize + value - 1) / value;
}

int64_t SplitOutputBytes(int64_t sourceSize, int32_t partSize, bool withDigests) {
    constexpr int64_t kHeaderBytes = 104;
    constexpr int64_t kDigestBytes = 32;
    int64_t bytes = sourceSize + kHeaderBytes;
    if (withDigests && partSize > 0)
        bytes += kDigestBytes * ((sourceSize + partSize - 1) / partSize);
    return bytes;
}

std::string PartSizeProblem(int64_t partSize, int64_t partsAsked, int64_t sourceSize,
                            const PartLimits& limits) {
    if (partSize <= 0) return Say(TextId::PartSizeNotPositiveLine);
    if (partSize > limits.largestPart)
        return limits.tooLargeLine(partSize, sourceSize, limits.largestPart);
    const int64_t parts = (sourceSize + partSize - 1) / partSize;
    if (parts > limits.mostParts)
        return Say(limits.tooManyLine, {std::to_string(parts), std::to_string(limits.mostParts)});
    // One part asked for is the whole file, whatever size it was given.
    if (partsAsked == 1 || partSize == sourceSize) return Say(TextId::PartSizeIsSourceLine);
    if (partSize > sourceSize) return Say(TextId::PartSizeAboveSourceLine);
    return std::string();
}
