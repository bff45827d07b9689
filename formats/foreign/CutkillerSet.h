// Cutkiller sets: the original name with its extension replaced by a number on
// three digits from 001 (movie.001, movie.002, ...); part 001 begins with an
// 8-byte header that gives the extension and the count.
#pragma once

#include <array>

#include "formats/foreign/ForeignSet.h"

class CutkillerSet final : public ForeignSet {
public:
    CutkillerSet();

    // Part 001's header as read: the extension, then the count.
    std::array<char, 8> header{};

    int32_t FirstNumber() const override { return 1; }
    int32_t LastNumber() const override;
    void ResetSet() override;

protected:
    void DescribeParts(PartLayout& layout) const override;
    bool ReadSet(platform::File& chosen) override;
    std::string OpenFailureText() const override { return OpenFailure("Cutkiller"); }
    int64_t FirstOffset() const override { return 8; }
};
