#include "formats/foreign/NumberedSet.h"

#include <algorithm>

#include "formats/foreign/PartNames.h"
#include "platform/Fs.h"

NumberedSet::NumberedSet() {
    formatKind = FormatKind::Numbered;
}

bool NumberedSet::ReadSet(platform::File&) {
    const std::string name = ChosenName();
    numberMask = ExtensionText(name);
    if (!numberMask.empty()) numberMask = DropLast(numberMask, 1) + "0";
    // The digits that end the mask give the width; what stands before them is
    // copied as it is (u000 writes u012).
    const size_t width = NumberLength(numberMask);
    NameParts(width, "", width);
    // Most tools number from 1, split from 0. The chosen file belongs to its
    // set whichever it is, and so does a part 0 beside a later one.
    int64_t chosen = -1;
    ParseDigits(std::string_view(name).substr(name.size() - std::min(name.size(), width)),
                INT32_MAX, chosen);
    firstIndex = chosen == 0 || (chosen > 0 && platform::FileExists(PartName(0))) ? 0 : 1;
    // coreutils split -d, not told a width, follows .89 with .9000: its sets
    // have no .90 but a .9000.
    if (width == 2 && firstIndex == 0) {
        const std::string plain = PartName(90);
        WidenNumbers(true);
        if (platform::FileExists(plain) || !platform::FileExists(PartName(90))) WidenNumbers(false);
    }
    baseName = StemOf(name);
    ReadNamedSet(baseName, lastIndex);
    checksums = FindChecksumFile(ChosenFolder() + baseName);
    return true;
}

void NumberedSet::DescribeParts(PartLayout& layout) const {
    layout.twoPartsAtLeast = true;
    // split -l, -C and -n l/N cut at line ends, into parts of any size.
    layout.cutAtLineEnds = true;
    if (!checksums) return;
    layout.checksumKind = checksums->kind;
    layout.checksumFile = checksums->path;
    for (int32_t number = firstIndex; number <= lastIndex; ++number) {
        const auto line = checksums->digests.find(platform::FileNameOf(PartName(number)));
        if (line != checksums->digests.end()) layout.checksums[number] = line->second;
    }
    if (const auto whole = checksums->digests.find(baseName); whole != checksums->digests.end()) {
        layout.wholeName = baseName;
        layout.wholeChecksum = whole->second;
    }
}
