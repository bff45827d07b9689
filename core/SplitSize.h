// The part size of a split from what the user gave: a size in Mo ("Taille",
// mode 0) or a number of parts ("Nombre", mode 1).
#pragma once

#include <cstdint>
#include <string>

#include "texts/Texts.h"

// What the size of a split counts, as in the main window's list.
inline constexpr int kSizeModeTaille = 0;  // Mo per part
inline constexpr int kSizeModeNombre = 1;  // parts

// A split takes a source of more than this, 1 Mo: a smaller one would hardly
// be worth its parts.
inline constexpr int64_t kSmallestSource = 1048576;
// The largest part a set can hold: its sizes are stored on 31 bits.
inline constexpr int64_t kLargestPart = 2147483647;
// The most parts a split makes. Sets of more than 65,536 parts are joined and
// made (other tools make them, and a FAT32 folder holds about that many
// files); many more is a slip such as --bytes 1, which would fill a folder with
// millions of files.
inline constexpr int64_t kMostParts = 100000;
// What PartSizeFor answers when the parts would be larger than kLargestPart.
inline constexpr int32_t kPartTooLarge = -1;

// Bytes per part. A number of parts gives parts just large enough for exactly
// that many; a size that does not fit 31 bits comes back as kPartTooLarge, any
// other impossible value as 0, so that the parameter check refuses it.
int32_t PartSizeFor(int sizeMode, int64_t value, int64_t sourceSize);
// Bytes per part of a plain set: a size in Mo, or parts just large enough
// for exactly that many; 0, which the check refuses, for no parts.
int64_t PlainPartSizeFor(int sizeMode, int64_t value, int64_t sourceSize);

// Everything a split writes: the data, the 104-byte header of the first part
// and, with digests, 32 bytes per part at the end of the last one. What the
// destination's disk must hold before a split starts.
int64_t SplitOutputBytes(int64_t sourceSize, int32_t partSize, bool withDigests);

// What a kind of set allows its parts, and how it says that a part is too
// large or that there would be too many.
struct PartLimits {
    int64_t largestPart = kLargestPart;
    int64_t mostParts = kMostParts;
    // The line for a part above largestPart.
    std::string (*tooLargeLine)(int64_t partSize, int64_t sourceSize,
                                int64_t largestPart) = nullptr;
    texts::TextId tooManyLine{};  // %1 the parts, %2 mostParts
};

// The line of the first mistake in cutting `sourceSize` bytes into parts of
// `partSize` (asked as a count of `partsAsked` parts, 0 when a size was), in
// this order: a size not above 0, a part above the largest, more parts than
// the most, a part larger than the source, the source in one part. Empty when
// the split may be made. Every kind of set judges its size here.
std::string PartSizeProblem(int64_t partSize, int64_t partsAsked, int64_t sourceSize,
                            const PartLimits& limits);
