// The part size of a split from what the user gave: a size in Mo ("Taille",
// mode 0) or a number of parts ("Nombre", mode 1).
#pragma once

#include <cstdint>

// Bytes per part. A number of parts gives parts just large enough for exactly
// that many; a size that does not fit 31 bits comes back not positive, so that
// the parameter check refuses it.
int32_t PartSizeFor(int sizeMode, int64_t value, int64_t sourceSize);
