#include "formats/foreign/UzelKFK.h"

#include "formats/foreign/PartNames.h"

TzelKFK::TzelKFK() {
    formatKind = FormatKind::KFK;
}

bool TzelKFK::ReadSet(platform::File&) {
    const std::string name = ChosenName();
    numberMask = ExtensionText(name);
    NameParts(NumberLength(numberMask), "", 0);
    baseName = StemOf(name);
    ReadNamedSet(baseName, lastIndex);
    return true;
}
