#include "formats/foreign/KfkSet.h"

#include "formats/foreign/PartNames.h"

KfkSet::KfkSet() {
    formatKind = FormatKind::Kfk;
}

bool KfkSet::ReadSet(platform::File&) {
    const std::string name = ChosenName();
    numberMask = ExtensionText(name);
    NameParts(NumberLength(numberMask), "", 0);
    baseName = StemOf(name);
    ReadNamedSet(baseName, lastIndex);
    return true;
}

void KfkSet::DescribeParts(PartLayout& layout) const {
    layout.twoPartsAtLeast = true;
}
