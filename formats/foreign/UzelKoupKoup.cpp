#include "formats/foreign/UzelKoupKoup.h"

#include "formats/foreign/PartNames.h"

TzelKoupKoup::TzelKoupKoup() {
    formatKind = FormatKind::KoupKoup;
}

// The number is the run of digits that ends the chosen name, so the parts
// come out the same whichever of them was chosen (movie.avi.12 too).
std::string TzelKoupKoup::PartName(int32_t number) const {
    return DropLast(sourcePath, NumberLength(sourcePath)) + std::to_string(number);
}

bool TzelKoupKoup::ReadSet(platform::File&) {
    baseName = StemOf(ChosenName());
    ReadNamedSet(baseName, partCount);
    return true;
}
