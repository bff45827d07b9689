// KFK sets: the original name followed by ".kk" and the part number from 0,
// unpadded (movie.avi.kk0 ... movie.avi.kk10). Recognised by names alone.
#pragma once

#include "formats/foreign/ForeignSet.h"

class KfkSet final : public ForeignSet {
public:
    KfkSet();

    std::string baseName;    // movie.avi
    std::string numberMask;  // kk0
    int32_t lastIndex = 0;

    int32_t FirstNumber() const override { return 0; }
    int32_t LastNumber() const override { return lastIndex; }

protected:
    void DescribeParts(PartLayout& layout) const override;
    bool ReadSet(platform::File& chosen) override;
    std::string OpenFailureText() const override { return OpenFailure("KFK"); }
};
