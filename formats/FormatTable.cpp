#include "formats/FormatTable.h"

#include <algorithm>

#include "formats/foreign/CutkillerSet.h"
#include "formats/foreign/DKoupSet.h"
#include "formats/foreign/EasySplitSet.h"
#include "formats/foreign/KfkSet.h"
#include "formats/foreign/KoupKoupSet.h"
#include "formats/foreign/MaxSplitSet.h"
#include "formats/foreign/NumberedSet.h"
#include "formats/foreign/Splitter40Set.h"
#include "formats/native/NativeHeader.h"
#include "formats/native/NativeSet.h"

namespace {

template <typename Set>
std::unique_ptr<Job> Make() {
    return std::make_unique<Set>();
}

static_assert(kDetectedBytes == kHeaderSize, "detection reads the native header whole");

// --- How each kind is recognised

bool IsNativeHeader(std::span<const uint8_t> head) {
    return head.size() >= kHeaderSize && IsValidHeader(DecodeHeader(head.first<kHeaderSize>()));
}

bool IsLegacyFirstPart(std::span<const uint8_t> head) {
    return HasLegacyMark(head.data(), head.size());
}

bool IsDigit(uint8_t byte) {
    return byte >= '0' && byte <= '9';
}

// A Cutkiller part 001 gives the count of its set in bytes 5 to 7.
bool HasCutkillerCount(std::span<const uint8_t> head) {
    if (head.size() < 8) return false;
    const std::span<const uint8_t> count = head.subspan(5, 3);
    return std::all_of(count.begin(), count.end(), IsDigit) &&
           !std::all_of(count.begin(), count.end(), [](uint8_t byte) { return byte == '0'; });
}

constexpr ContentRule kNativeContent[] = {
    {.fits = IsNativeHeader, .reason = DetectionReason::NativeSignature},
    {.fits = IsLegacyFirstPart, .reason = DetectionReason::LegacyMark},
};
constexpr ContentRule kEasySplitContent[] = {
    {.signature = "EasySpl", .reason = DetectionReason::EasySplitHeader},
};
constexpr ContentRule kSplitter40Content[] = {
    {.signature = "SpLi40", .reason = DetectionReason::Splitter40Descriptor},
};

constexpr std::string_view kNativeFirst[] = {"001"};
constexpr std::string_view kKfkFirst[] = {"0"};
// D-Koup numbers from D00, Découpeur from D01.
constexpr std::string_view kDKoupFirst[] = {"00", "01"};

// Any part of a native set leads to its first, which says the rest or why the
// set cannot be joined.
constexpr NameRule kNativeNames[] = {
    {.minDigits = 3,
     .suffix = ".pcw",
     .lead = LeadToFirst::Always,
     .firstNumbers = kNativeFirst,
     .reason = DetectionReason::NativeName},
};
// The number follows the last "__": the original extension may hold
// underscores of its own.
constexpr NameRule kMaxSplitNames[] = {
    {.letters = "__", .lettersEndText = true, .reason = DetectionReason::MaxSplitName},
};
// KFK numbers from 0 without padding: kk0, kk1 ... kk10.
constexpr NameRule kKfkNames[] = {
    {.letters = "kk",
     .lead = LeadToFirst::WhenThere,
     .firstNumbers = kKfkFirst,
     .reason = DetectionReason::KfkName},
};
constexpr NameRule kDKoupNames[] = {
    {.letters = "d",
     .minDigits = 2,
     .lead = LeadToFirst::WhenThere,
     .firstNumbers = kDKoupFirst,
     .reason = DetectionReason::DKoupName},
};
// Koup Koup numbers from 1 without padding. A one-digit part of a set that
// has a part 0 is a plain numbered one, which Koup Koup would join without
// it; a later part has the set's part 1 beside it.
constexpr NameRule kKoupKoupNames[] = {
    {.maxDigits = 1,
     .unpadded = true,
     .partAbsent = "0",
     .reason = DetectionReason::SingleDigitName,
     .rank = 1},
    {.minDigits = 2,
     .unpadded = true,
     .partPresent = "1",
     .reason = DetectionReason::NumberedName,
     .rank = 1},
};
// A three-digit part of a set whose part 001 begins with a Cutkiller header:
// any part of the set leads there.
constexpr std::string_view kCutkillerFirst[] = {"001"};
constexpr NameRule kCutkillerNames[] = {
    {.minDigits = 3,
     .maxDigits = 3,
     .headFits = HasCutkillerCount,
     .headOf = "001",
     .lead = LeadToFirst::WhenThere,
     .firstNumbers = kCutkillerFirst,
     .reason = DetectionReason::NumberedNameCutkillerHeader,
     .rank = 2},
};
// Any number, with or without a "u" before it: the last guess.
constexpr NameRule kNumberedNames[] = {
    {.maxDigits = 1, .reason = DetectionReason::SingleDigitName, .rank = 3},
    {.minDigits = 2, .reason = DetectionReason::NumberedName, .rank = 3},
    {.letters = "u", .reason = DetectionReason::NumberedName, .rank = 3},
};

// --- The table

// The labels and patterns are what users have long seen in the dialog; the
// numbered sets' reader comes twice, the second time for sets of any numbering.
constexpr FormatRow kJoinFormats[] = {
    {.code = FormatKind::Native,
     .cliName = "native",
     .entry = {"Parcelwise v1.1 (*.001.pcw)", "*.001.pcw"},
     .make = Make<NativeSet>,
     .detection = {kNativeContent, kNativeNames},
     .offsets = {static_cast<int64_t>(kHeaderSize), 0}},
    {.code = FormatKind::Cutkiller,
     .cliName = "cutkiller",
     .entry = {"Cutkiller (*.001)", "*.001"},
     .make = Make<CutkillerSet>,
     .detection = {{}, kCutkillerNames},
     .offsets = {8, 0}},
    {.code = FormatKind::Numbered,
     .cliName = "generic",
     .entry = {"HJSplit, FileSpliter 4.5, UltraSplitter (*.001;*.u001)", "*.001;*.u001"},
     .make = Make<NumberedSet>,
     .detection = {{}, kNumberedNames}},
    {.code = FormatKind::DKoup,
     .cliName = "dkoup",
     .entry = {"D-Koup v2.5 (*.D00), Découpeur (*.D01)", "*.D00;*.D01"},
     .make = Make<DKoupSet>,
     .detection = {{}, kDKoupNames}},
    {.code = FormatKind::Kfk,
     .cliName = "kfk",
     .entry = {"KFK v3.8.0.30 (*.kk0)", "*.kk0"},
     .make = Make<KfkSet>,
     .detection = {{}, kKfkNames}},
    {.code = FormatKind::EasySplit,
     .cliName = "easysplit",
     .entry = {"EasySplit (*.000)", "*.000"},
     .make = Make<EasySplitSet>,
     .detection = {kEasySplitContent, {}},
     .offsets = {16, 16}},
    {.code = FormatKind::KoupKoup,
     .cliName = "koupkoup",
     .entry = {"Koup Koup - XP, File Splitter Deluxe (*.1)", "*.1"},
     .make = Make<KoupKoupSet>,
     .detection = {{}, kKoupKoupNames}},
    {.code = FormatKind::Splitter40,
     .cliName = "splitter40",
     .entry = {"Splitter 4.0 (*.h001)", "*.h001"},
     .make = Make<Splitter40Set>,
     .detection = {kSplitter40Content, {}}},
    {.code = FormatKind::MaxSplit,
     .cliName = "maxsplit",
     .entry = {"MaxSplit Pro 3.1 (*__1,*__01,*__001, etc)", "*__1;*__01;*__001;*__0001;*__00001"},
     .make = Make<MaxSplitSet>,
     .detection = {{}, kMaxSplitNames}},
    {.code = FormatKind::Numbered,
     .cliName = "",
     .entry = {"Format Générique inconnu (*.001)", "*.001;*.0;*.00;*.000;*.0000;*.1;*.01;*.0001",
               texts::TextId::EntryGenericSet},
     .make = Make<NumberedSet>},
};

// A signature longer than what detection reads would never match.
consteval bool SignaturesFitTheBytesRead() {
    for (const FormatRow& row : kJoinFormats)
        for (const ContentRule& rule : row.detection.content)
            if (rule.signature.size() > kDetectedBytes) return false;
    return true;
}
static_assert(SignaturesFitTheBytesRead());

constexpr FileTypeEntry kSplitFileTypes[] = {
    {"Tous les fichiers (*.*)", "*.*", texts::TextId::EntryAnyFile},
    {"Fichier Audio (*.wav,*.mp3,*.ogg,*.wma)",
     "*.mp4;*.mp3;*.mp2;*.mp1;*.wav;*.wave;*.ogg;*.wma;*.mpc;*.ra;", texts::TextId::EntryAudio},
    {"Fichier Vidéo (*.mpeg;*.avi;*.mkv;*.ogm;*.vob;)",
     "*.mpg;*.mpeg;*.avi;*.wmv;*.divx;*.mkv;*.ogm;*.rmvb;*.rm;*.asf;*.m2v;*.vob",
     texts::TextId::EntryVideo},
    {"Fichier Image CD (*.iso,*.bin,*.nrg,*.mds)", "*.iso;*.bin;*.raw;*.mds;*.img;*.cdi;*nrg;",
     texts::TextId::EntryCdImage},
    {"Fichier Image (*.bmp,*.jpg,*.psd,*.png,*.tiff)", "*.bmp;*.jpg;*.psd;*.png;*.tiff;",
     texts::TextId::EntryImage},
    {"Fichier Archive (*.zip,*.rar,*.ace,*.7z)", "*.zip;*.rar;*.ace;*.7z;",
     texts::TextId::EntryArchive},
};

}  // namespace

std::string LabelOf(const FileTypeEntry& entry) {
    return entry.worded == texts::TextId::Count ? std::string(entry.label)
                                                : texts::Say(entry.worded);
}

std::span<const FormatRow> JoinFormats() {
    return kJoinFormats;
}

std::span<const FileTypeEntry> SplitFileTypes() {
    return kSplitFileTypes;
}

const FormatRow* FormatOfJoinEntry(int index) {
    if (index < 1 || index > static_cast<int>(std::size(kJoinFormats))) return nullptr;
    return &kJoinFormats[static_cast<size_t>(index - 1)];
}

const FormatRow* FormatOfCliName(std::string_view name) {
    if (name.empty()) return nullptr;
    for (const FormatRow& row : kJoinFormats)
        if (row.cliName == name) return &row;
    return nullptr;
}

std::vector<std::string_view> CliFormatNames() {
    std::vector<std::string_view> names;
    for (const FormatRow& row : kJoinFormats)
        if (!row.cliName.empty()) names.push_back(row.cliName);
    return names;
}
