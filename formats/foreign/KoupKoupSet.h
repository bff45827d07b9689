// Koup Koup - XP and File Splitter Deluxe sets: the original name, a dot and
// the part number from 1, unpadded (movie.avi.1 ... movie.avi.12). Recognised
// by names alone.
#pragma once

#include "formats/foreign/ForeignSet.h"

class KoupKoupSet final : public ForeignSet {
public:
    KoupKoupSet();

    std::string baseName;  // movie.avi
    int32_t partCount = 0;

    int32_t FirstNumber() const override { return 1; }
    int32_t LastNumber() const override { return partCount; }

protected:
    void DescribeParts(PartLayout& layout) const override;
    bool ReadSet(platform::File& chosen) override;
    std::string OpenFailureText() const override { return OpenFailure("Koup Koup"); }
};
