#include "formats/foreign/UzelGenerik.h"

#include "formats/foreign/PartNames.h"

TzelGenerik::TzelGenerik() {
    formatKind = FormatKind::Generik;
}

// The digits that end the mask give the width; what stands before them is
// copied as it is (u000 writes u012).
std::string TzelGenerik::PartName(int32_t number) const {
    const size_t width = NumberLength(numberMask);
    return DropLast(sourcePath, width) + NumberText(number, width);
}

bool TzelGenerik::ReadSet(platform::File&) {
    const std::string name = ChosenName();
    numberMask = ExtensionText(name);
    if (!numberMask.empty()) numberMask = DropLast(numberMask, 1) + "0";
    baseName = StemOf(name);
    ReadNamedSet(baseName, partCount);
    return true;
}
