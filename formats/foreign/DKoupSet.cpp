#include "formats/foreign/DKoupSet.h"

#include "formats/foreign/PartNames.h"
#include "platform/Fs.h"
#include "texts/Texts.h"

DKoupSet::DKoupSet() {
    formatKind = FormatKind::DKoup;
}

bool DKoupSet::ReadSet(platform::File&) {
    const std::string name = ChosenName();
    const std::string extension = ExtensionText(name);
    // The last digit tells the tool: D-Koup starts at 0, Découpeur at 1. Any
    // other digit names a later part, and a join from there would leave out
    // the parts before it.
    if (extension.empty() || (extension.back() != '0' && extension.back() != '1')) return false;
    firstIndex = extension.back() - '0';
    numberMask = extension;
    numberMask.back() = '0';
    NameParts(NumberLength(numberMask), "", 2);
    // A part 00 beside the chosen 01 makes it a D-Koup set opened from its
    // second part: left out, its data would be missing from a join that succeeds.
    if (firstIndex == 1 && platform::FileExists(PartName(0))) firstIndex = 0;
    baseName = StemOf(name);
    ReadNamedSet(baseName, lastIndex);
    return true;
}

void DKoupSet::DescribeParts(PartLayout& layout) const {
    layout.twoPartsAtLeast = true;
    // Découpeur numbers from .D01, D-Koup from .D00: nothing else tells them apart.
    if (firstIndex == 1) layout.notes.push_back(texts::Say(texts::TextId::SetNoFirstDKoupPart));
}
