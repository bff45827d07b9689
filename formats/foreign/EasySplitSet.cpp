#include "formats/foreign/EasySplitSet.h"

#include <cstring>
#include <optional>
#include <string>

#include "formats/foreign/PartNames.h"

namespace {
constexpr size_t kIndexAt = 7;
constexpr size_t kCountAt = 10;
constexpr size_t kExtensionAt = 13;

int32_t Number(const std::array<char, 16>& header, size_t at) {
    return HeaderNumber(std::string_view(header.data() + at, 3));
}
}  // namespace

EasySplitSet::EasySplitSet() {
    formatKind = FormatKind::EasySplit;
}

int32_t EasySplitSet::LastNumber() const {
    return Number(header, kCountAt);
}

void EasySplitSet::ResetSet() {
    Reset();
    header.fill(0);
    rebuiltSize = 0;
}

bool EasySplitSet::ReadSet(platform::File& chosen) {
    header.fill(0);
    if (!NameParts(4, ".", 3)) return false;
    std::array<char, 16> bytes{};
    const platform::IoResult read = chosen.Read(bytes.data(), bytes.size());
    if (!read.ok() || read.bytes != 16 || std::memcmp(bytes.data(), "EasySpl", 7) != 0)
        return false;
    const int32_t index = Number(bytes, kIndexAt);
    const int32_t count = Number(bytes, kCountAt);
    if (index < 0 || index >= count) return false;
    const int64_t size = chosen.Size();
    if (size < 0) return false;

    header = bytes;
    std::memcpy(header.data() + kCountAt, NumberText(count - 1, 3).data(), 3);
    // The set announces count - 1 parts of the chosen part's size, headers
    // included, and the last part is not measured: a join may go past it.
    rebuiltSize = int64_t{count - 1} * size;
    choices.fileName =
        WithExtension(DropLast(ChosenName(), 3),
                      HeaderExtension(std::string_view(bytes.data() + kExtensionAt, 3)));
    choices.folder = ChosenFolder();
    return true;
}

void EasySplitSet::DescribeParts(PartLayout& layout) const {
    layout.countAnnounced = true;
    // Every part's header gives its number and the count: a part renamed
    // into another's place, or one of another set, is found by it.
    layout.headBytes = 16;
    const std::string count = NumberText(int64_t{LastNumber()} + 1, 3);
    layout.wrongHeader = [count](int32_t number, std::string_view head) -> std::optional<int32_t> {
        if (head.size() < 16 || head.substr(0, 7) != "EasySpl") return -1;
        const int32_t index = HeaderNumber(head.substr(kIndexAt, 3));
        if (index == number && head.substr(kCountAt, 3) == count) return std::nullopt;
        return index;
    };
}
