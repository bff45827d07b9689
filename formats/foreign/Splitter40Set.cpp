#include "formats/foreign/Splitter40Set.h"

#include <cstdint>

#include "core/TextEncoding.h"
#include "formats/foreign/PartNames.h"

namespace {
// A descriptor holds a signature, a name of at most 255 characters and a size
// of ten digits. Reading no more than this keeps a big file chosen by mistake
// from being read whole; one whose fields do not fit in it is no descriptor.
constexpr size_t kDescriptorRoom = 4096;
}  // namespace

Splitter40Set::Splitter40Set() {
    formatKind = FormatKind::Splitter40;
}

void Splitter40Set::ResetSet() {
    Reset();
    signatureText.clear();
    storedName.clear();
    partCount = 0;
    rebuiltSize = 0;
}

bool Splitter40Set::ReadSet(platform::File& chosen) {
    // The data parts are found next to the descriptor and named after it, never
    // after the name stored inside: that name is someone else's text, and
    // counting parts by one rule while joining them by another would join the
    // wrong files.
    if (!NameParts(4, "", 3)) return false;
    std::string head(kDescriptorRoom, '\0');
    const platform::IoResult read = chosen.Read(head.data(), head.size());
    if (!read.ok()) return false;
    head.resize(static_cast<size_t>(read.bytes));

    signatureText = head.substr(0, 6);
    if (signatureText != "SpLi40") return false;
    // One byte after the signature, then the name up to a TAB.
    const size_t nameEnd = head.find('\t', 7);
    if (nameEnd == std::string::npos) return false;
    // Two bytes after the name, then the size up to a TAB.
    const size_t sizeStart = nameEnd + 3;
    const size_t sizeEnd =
        sizeStart <= head.size() ? head.find('\t', sizeStart) : std::string::npos;
    if (sizeEnd == std::string::npos) return false;
    int64_t size = 0;
    if (!ParseDigits(std::string_view(head).substr(sizeStart, sizeEnd - sizeStart), INT32_MAX,
                     size))
        return false;

    storedName = Cp1252ToUtf8(std::string_view(head).substr(7, nameEnd - 7));
    choices.fileName = storedName;
    choices.folder = ChosenFolder();
    partCount = LastInFolder(0);
    rebuiltSize = size;
    return true;
}

void Splitter40Set::DescribeParts(PartLayout& layout) const {
    layout.announcedSize = rebuiltSize;
}
