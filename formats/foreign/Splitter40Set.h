// Splitter 4.0 sets: a descriptor (movie.avi.h001) that gives the original
// name and size, and data parts numbered on three digits in place of "h001"
// (movie.avi.001, movie.avi.002, ...).
#pragma once

#include "formats/foreign/ForeignSet.h"

class Splitter40Set final : public ForeignSet {
public:
    Splitter40Set();

    std::string signatureText;  // "SpLi40"
    std::string storedName;     // the original name as the descriptor gives it
    int32_t partCount = 0;

    int32_t FirstNumber() const override { return 1; }
    int32_t LastNumber() const override { return partCount; }
    void ResetSet() override;

protected:
    void DescribeParts(PartLayout& layout) const override;
    bool ReadSet(platform::File& chosen) override;
    std::string OpenFailureText() const override { return OpenFailure("Splitter 4.0"); }
};
