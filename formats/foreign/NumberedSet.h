// Plain numbered sets (HJSplit, FileSpliter 4.5, UltraSplitter, coreutils split
// and the like): the original name, a dot and a zero-padded number from 1, or
// from 0 when the set has a part 0, with or without a letter before it
// (movie.avi.001, movie.avi.u001, data.bin.000). Recognised by names alone.
#pragma once

#include <optional>

#include "formats/foreign/ForeignSet.h"
#include "formats/plain/ChecksumFile.h"
#include "texts/Texts.h"

class NumberedSet final : public ForeignSet {
public:
    NumberedSet();

    std::string baseName;    // movie.avi
    std::string numberMask;  // 000, u000
    int32_t firstIndex = 1;  // 0 for the sets that split numbers from 0
    int32_t lastIndex = 0;
    // The checksum file beside the parts, when there is one that names them.
    std::optional<ChecksumFile> checksums;

    int32_t FirstNumber() const override { return firstIndex; }
    int32_t LastNumber() const override { return lastIndex; }

protected:
    void DescribeParts(PartLayout& layout) const override;
    bool ReadSet(platform::File& chosen) override;
    std::string OpenFailureText() const override {
        return OpenFailure(texts::Say(texts::TextId::ToolsNumbered));
    }
};
