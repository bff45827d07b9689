#include "formats/foreign/MaxSplitSet.h"

#include "core/TextEncoding.h"
#include "formats/foreign/PartNames.h"

MaxSplitSet::MaxSplitSet() {
    formatKind = FormatKind::MaxSplit;
}

bool MaxSplitSet::ReadSet(platform::File&) {
    const std::string name = ChosenName();
    partExt = ExtensionOf(name);
    // The number follows the last "__": the original extension may hold
    // underscores of its own (a.x_y__001 is part 1 of a.x_y).
    const size_t mark = partExt.rfind("__");
    if (mark == std::string::npos) return false;
    originalExt = partExt.substr(0, mark);
    numberMask.assign(Utf8Length(partExt.substr(mark + 2)), '0');
    baseName = StemOf(name) + originalExt;
    NameParts(numberMask.size(), "", numberMask.size());
    ReadNamedSet(baseName, partCount);
    return true;
}

void MaxSplitSet::DescribeParts(PartLayout& layout) const {
    layout.twoPartsAtLeast = true;
}
