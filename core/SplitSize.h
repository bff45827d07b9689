// The part size of a split from what the user gave: a size in Mo ("Taille",
// mode 0) or a number of parts ("Nombre", mode 1).
#pragma once

#include <cstdint>

// What the size of a split counts, as in the main window's list.
inline constexpr int kSizeModeTaille = 0;  // Mo per part
inline constexpr int kSizeModeNombre = 1;  // parts

// Bytes per part. A number of parts gives parts just large enough for exactly
// that many; a size that does not fit 31 bits comes back not positive, so that
// the parameter check refuses it.
int32_t PartSizeFor(int sizeMode, int64_t value, int64_t sourceSize);

// Everything a split writes: the data, the 104-byte header of the first part
// and, with digests, 32 bytes per part at the end of the last one. What the
// destination's disk must hold before a split starts.
int64_t SplitOutputBytes(int64_t sourceSize, int32_t partSize, bool withDigests);
