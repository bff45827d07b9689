#include "formats/foreign/UzelKoupKoup.h"

#include "formats/foreign/PartNames.h"

TzelKoupKoup::TzelKoupKoup() {
    formatKind = FormatKind::KoupKoup;
}

bool TzelKoupKoup::ReadSet(platform::File&) {
    // The number is the run of digits that ends the chosen name, so the parts
    // come out the same whichever of them was chosen (movie.avi.12 too).
    const std::string name = ChosenName();
    NameParts(NumberLength(name), "", 0);
    baseName = StemOf(name);
    ReadNamedSet(baseName, partCount);
    return true;
}
