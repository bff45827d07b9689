#include "formats/foreign/CutkillerSet.h"

#include <optional>
#include <string>

#include "formats/foreign/PartNames.h"
#include "platform/File.h"
#include "platform/Fs.h"

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
    // Any part may be chosen: the header that tells the set is part 001's.
    platform::File first;
    platform::File* headed = &chosen;
    if (!platform::SameFile(sourcePath, PartName(1))) {
        if (platform::RegularFileError(PartName(1)) != 0) return false;
        first = platform::File::OpenRead(PartName(1), platform::Share::Read);
        headed = &first;
    }
    std::array<char, 8> bytes{};
    const platform::IoResult read = headed->Read(bytes.data(), bytes.size());
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

void CutkillerSet::DescribeParts(PartLayout& layout) const {
    layout.countAnnounced = true;
    // Part 001 must still be the one whose header was read.
    layout.headBytes = header.size();
    const std::string read(header.data(), header.size());
    layout.wrongHeader = [read](int32_t number, std::string_view head) -> std::optional<int32_t> {
        if (number != 1 || head == read) return std::nullopt;
        return -1;
    };
}
