#include "formats/foreign/UzelKFK.h"

#include "formats/foreign/PartNames.h"

TzelKFK::TzelKFK() {
    formatKind = FormatKind::KFK;
}

std::string TzelKFK::PartName(int32_t number) const {
    return DropLast(sourcePath, NumberLength(numberMask)) + std::to_string(number);
}

bool TzelKFK::ReadSet(platform::File&) {
    const std::string name = ChosenName();
    numberMask = ExtensionText(name);
    baseName = StemOf(name);
    ReadNamedSet(baseName, lastIndex);
    return true;
}
