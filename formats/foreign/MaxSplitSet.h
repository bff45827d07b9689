// MaxSplit Pro 3.1 sets: the original name, two underscores and a part number
// padded to a fixed width (movie.avi__001). Recognised by names alone.
#pragma once

#include "formats/foreign/ForeignSet.h"

class MaxSplitSet final : public ForeignSet {
public:
    MaxSplitSet();

    std::string baseName;     // movie.avi
    std::string partExt;      // .avi__001
    std::string originalExt;  // .avi
    std::string numberMask;   // 000
    int32_t partCount = 0;

    int32_t FirstNumber() const override { return 1; }
    int32_t LastNumber() const override { return partCount; }

protected:
    void DescribeParts(PartLayout& layout) const override;
    bool ReadSet(platform::File& chosen) override;
    std::string OpenFailureText() const override { return OpenFailure("MaxSplit Pro v3.1"); }
};
