#include "formats/foreign/KoupKoupSet.h"

#include "formats/foreign/PartNames.h"

KoupKoupSet::KoupKoupSet() {
    formatKind = FormatKind::KoupKoup;
}

bool KoupKoupSet::ReadSet(platform::File&) {
    // The number is the run of digits that ends the chosen name, so the parts
    // come out the same whichever of them was chosen (movie.avi.12 too).
    const std::string name = ChosenName();
    NameParts(NumberLength(name), "", 0);
    baseName = StemOf(name);
    ReadNamedSet(baseName, partCount);
    return true;
}

void KoupKoupSet::DescribeParts(PartLayout& layout) const {
    layout.twoPartsAtLeast = true;
}
