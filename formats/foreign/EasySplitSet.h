// EasySplit sets: the original name with its extension replaced by a number
// on three digits from 000 (movie.000, movie.001, ...), every part behind a
// 16-byte header. Part 000's header gives the count and the extension.
#pragma once

#include <array>

#include "formats/foreign/ForeignSet.h"

class EasySplitSet final : public ForeignSet {
public:
    EasySplitSet();

    // The chosen part's header as read, but that the count (offset 10) is
    // replaced by the number of the last part.
    std::array<char, 16> header{};

    int32_t FirstNumber() const override { return 0; }
    int32_t LastNumber() const override;
    void ResetSet() override;

protected:
    void DescribeParts(PartLayout& layout) const override;
    bool ReadSet(platform::File& chosen) override;
    std::string OpenFailureText() const override { return OpenFailure("EasySplit"); }
    int64_t FirstOffset() const override { return 16; }
    int64_t LaterOffset() const override { return 16; }
};
