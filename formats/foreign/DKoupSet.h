// D-Koup v2.5 and Découpeur sets: the original name followed by ".D" and the
// part number on two digits, from 00 for D-Koup and from 01 for Découpeur
// (movie.avi.D00 or movie.avi.D01, ...). Recognised by names alone.
#pragma once

#include "formats/foreign/ForeignSet.h"
#include "texts/Texts.h"

class DKoupSet final : public ForeignSet {
public:
    DKoupSet();

    std::string baseName;    // movie.avi
    std::string numberMask;  // D00
    int32_t firstIndex = 0;  // 0 for D-Koup, 1 for Découpeur
    int32_t lastIndex = 0;

    int32_t FirstNumber() const override { return firstIndex; }
    int32_t LastNumber() const override { return lastIndex; }

protected:
    bool ReadSet(platform::File& chosen) override;
    std::string OpenFailureText() const override {
        return OpenFailure(texts::Say(texts::TextId::ToolsDKoup));
    }
};
