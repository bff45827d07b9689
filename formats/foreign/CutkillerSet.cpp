#include "formats/foreign/CutkillerSet.h"

#include "formats/foreign/PartNames.h"

namespace {
constexpr size_t kCountAt = 5;

int32_t Count(const std::array<char, 8>& header) {
    return HeaderNumber(std::string_view(header.data() + kCountAt, 3));
}
}  // namespace

CutkillerSet::CutkillerSet() {
    formatKind = FormatKind::Cutkiller;
}

int32_t CutkillerSet::LastNumber() const {
    return Count(header);
}

void CutkillerSet::ResetSet() {
    Reset();
    header.fill(0);
    rebuiltSize = 0;
}

bool CutkillerSet::ReadSet(platform::File& chosen) {
    header.fill(0);
    if (!NameParts(3, "", 3)) return false;
    std::array<char, 8> bytes{};
    const platform::IoResult read = chosen.Read(bytes.data(), bytes.size());
    if (!read.ok() || read.bytes != 8 || Count(bytes) <= 0) return false;

    header = bytes;
    choices.fileName = WithExtension(DropLast(ChosenName(), 3),
                                     HeaderExtension(std::string_view(bytes.data(), kCountAt)));
    choices.folder = ChosenFolder();
    // The presence of the parts is left to the join; the estimate counts the
    // header of part 001.
    rebuiltSize = EstimatedSize();
    return true;
}
