#include "formats/Detect.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>

#include "formats/FormatTable.h"
#include "platform/File.h"
#include "platform/Fs.h"
#include "texts/Texts.h"

namespace {

// The words of each reason; `number` is the number of the part to open.
std::string ReasonText(DetectionReason reason, std::string_view number) {
    using texts::Say;
    using texts::TextId;
    switch (reason) {
        case DetectionReason::NativeSignature:
            return Say(TextId::ReasonNativeSignature);
        case DetectionReason::LegacyMark:
            return Say(TextId::ReasonLegacyMark);
        case DetectionReason::EasySplitHeader:
            return Say(TextId::ReasonEasySplitHeader);
        case DetectionReason::Splitter40Descriptor:
            return Say(TextId::ReasonSplitter40Descriptor);
        case DetectionReason::NativeName:
            return Say(TextId::ReasonNativeName);
        case DetectionReason::MaxSplitName:
            return Say(TextId::ReasonMaxSplitName);
        case DetectionReason::KfkName:
            return Say(TextId::ReasonKfkName);
        case DetectionReason::DKoupName:
            return Say(TextId::ReasonDKoupName, {number});
        case DetectionReason::SingleDigitName:
            return Say(TextId::ReasonSingleDigitName);
        case DetectionReason::NumberedName:
            return Say(TextId::ReasonNumberedName);
        case DetectionReason::NumberedNameCutkillerHeader:
            return Say(TextId::ReasonNumberedCutkillerHeader);
    }
    return std::string();
}

bool StartsWith(std::span<const uint8_t> head, std::string_view signature) {
    return head.size() >= signature.size() &&
           std::equal(signature.begin(), signature.end(), head.begin(),
                      [](char c, uint8_t byte) { return static_cast<uint8_t>(c) == byte; });
}

bool Fits(const ContentRule& rule, std::span<const uint8_t> head) {
    if (!rule.signature.empty() && !StartsWith(head, rule.signature)) return false;
    return rule.fits == nullptr || rule.fits(head);
}

// The text after the last dot of the name, empty when there is none.
std::string_view Extension(std::string_view name) {
    const size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
}

// The run of digits that ends the text.
std::string_view TrailingDigits(std::string_view text) {
    size_t start = text.size();
    while (start > 0 && std::isdigit(static_cast<unsigned char>(text[start - 1])) != 0) --start;
    return text.substr(start);
}

// A part's name as one naming rule reads it: "dir/film.avi.kk3" is the stem
// "dir/film.avi.kk" (folder included), the number "3" and no suffix.
struct NamedPart {
    std::string stem;
    std::string_view number;
    std::string_view suffix;  // as the name writes it
};

// The part's name read by the rule; nothing when it does not fit the rule's shape.
std::optional<NamedPart> ReadName(const std::string& path, std::string_view name,
                                  const NameRule& rule) {
    if (!rule.suffix.empty() && !platform::EndsWithNoCase(name, rule.suffix)) return std::nullopt;
    const std::string_view suffix = name.substr(name.size() - rule.suffix.size());
    name.remove_suffix(suffix.size());
    const std::string_view extension = Extension(name);
    const std::string_view number = TrailingDigits(extension);
    if (number.empty() || number.size() < rule.minDigits || number.size() > rule.maxDigits)
        return std::nullopt;
    if (rule.unpadded && number.front() == '0') return std::nullopt;
    const std::string letters =
        platform::FoldCase(extension.substr(0, extension.size() - number.size()));
    if (rule.lettersEndText ? !std::string_view(letters).ends_with(rule.letters)
                            : letters != rule.letters)
        return std::nullopt;
    return NamedPart{path.substr(0, path.size() - number.size() - suffix.size()), number, suffix};
}

// Whether what lies beside the part and its first bytes are those the rule asks.
bool Holds(const NameRule& rule, const NamedPart& part, std::span<const uint8_t> head) {
    const auto beside = [&](std::string_view number) {
        return part.stem + std::string(number) + std::string(part.suffix);
    };
    if (!rule.partAbsent.empty() && platform::FileExists(beside(rule.partAbsent))) return false;
    if (!rule.partPresent.empty() && !platform::IsRegularFile(beside(rule.partPresent)))
        return false;
    if (rule.headFits == nullptr) return true;
    if (rule.headOf.empty() || part.number == rule.headOf) return rule.headFits(head);
    // The set is told by its first part, not by the part given.
    const std::string first = beside(rule.headOf);
    if (!platform::IsRegularFile(first)) return false;
    std::array<uint8_t, kDetectedBytes> bytes{};
    platform::File file = platform::File::OpenRead(first, platform::Share::Read);
    const int64_t read =
        file.IsOpen() ? std::max<int64_t>(file.Read(bytes.data(), bytes.size()).bytes, 0) : 0;
    return rule.headFits(std::span<const uint8_t>(bytes.data(), static_cast<size_t>(read)));
}

struct NameMatch {
    const FormatRow* row;
    const NameRule* rule;
    NamedPart part;
};

// Points `found` at the set's first part as the rule leads there; the number
// of the part that it then opens.
std::string_view LeadToFirstPart(const NameMatch& match, Detection& found) {
    const NamedPart& part = match.part;
    const std::span<const std::string_view> firsts = match.rule->firstNumbers;
    if (match.rule->lead == LeadToFirst::Always && !firsts.empty()) {
        const std::string name = platform::FileNameOf(part.stem);
        found.path = platform::FolderOf(found.path) + name + std::string(firsts.front()) +
                     std::string(part.suffix);
        return firsts.front();
    }
    if (match.rule->lead == LeadToFirst::WhenThere) {
        for (std::string_view first : firsts) {
            if (part.number == first) break;
            const std::string path = part.stem + std::string(first) + std::string(part.suffix);
            if (platform::IsRegularFile(path)) {
                found.path = path;
                return first;
            }
        }
    }
    return part.number;
}

// The first part of the plain set whose checksum file `path` names
// (NAME.sha256 or NAME.md5 beside NAME.001), when it is there.
std::optional<std::string> PlainSetOfChecksumFile(const std::string& path) {
    for (std::string_view extension : {".sha256", ".md5"}) {
        if (path.size() <= extension.size() ||
            !std::equal(extension.rbegin(), extension.rend(), path.rbegin(), [](char a, char b) {
                return a == std::tolower(static_cast<unsigned char>(b));
            }))
            continue;
        const std::string first = path.substr(0, path.size() - extension.size()) + ".001";
        if (platform::IsRegularFile(first)) return first;
    }
    return std::nullopt;
}

}  // namespace

Detection DetectKind(const std::string& path) {
    // A plain set's checksum file stands for its set, which opens from its first part.
    if (const std::optional<std::string> first = PlainSetOfChecksumFile(path))
        return DetectKind(*first);
    Detection found;
    found.path = path;
    std::array<uint8_t, kDetectedBytes> bytes{};
    platform::File file = platform::File::OpenRead(path, platform::Share::Read);
    const int64_t read =
        file.IsOpen() ? std::max<int64_t>(file.Read(bytes.data(), bytes.size()).bytes, 0) : 0;
    const std::span<const uint8_t> head(bytes.data(), static_cast<size_t>(read));

    // Content first: a signature says more than any name.
    for (const FormatRow& row : JoinFormats()) {
        for (const ContentRule& rule : row.detection.content) {
            if (!Fits(rule, head)) continue;
            found.kinds = {row.cliName};
            found.reason = ReasonText(rule.reason, {});
            return found;
        }
    }
    // A folder is no part of any set, whatever its name says.
    if (platform::IsFolder(path)) return found;

    // Then the naming rules.
    const std::string name = platform::FileNameOf(path);
    std::vector<NameMatch> matches;
    for (const FormatRow& row : JoinFormats()) {
        for (const NameRule& rule : row.detection.names) {
            std::optional<NamedPart> part = ReadName(path, name, rule);
            if (part && Holds(rule, *part, head)) matches.push_back({&row, &rule, *part});
        }
    }
    if (matches.empty()) return found;
    std::stable_sort(matches.begin(), matches.end(), [](const NameMatch& a, const NameMatch& b) {
        return a.rule->rank < b.rule->rank;
    });
    for (const NameMatch& match : matches)
        if (std::find(found.kinds.begin(), found.kinds.end(), match.row->cliName) ==
            found.kinds.end())
            found.kinds.push_back(match.row->cliName);
    // The likeliest kind leads to its set's first part; the bytes, when a rule
    // read them, say why.
    const std::string_view opened = LeadToFirstPart(matches.front(), found);
    const auto byBytes = std::find_if(matches.begin(), matches.end(), [](const NameMatch& match) {
        return match.rule->headFits != nullptr;
    });
    const NameMatch& telling = byBytes != matches.end() ? *byBytes : matches.front();
    found.reason = ReasonText(telling.rule->reason,
                              &telling == &matches.front() ? opened : telling.part.number);
    return found;
}
