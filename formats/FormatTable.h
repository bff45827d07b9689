// Every kind of set the program joins, in one table: the code its job carries,
// the name that `pcw --format` takes, the entry of the open dialog, the job
// that entry makes, how a part of the kind is recognised and where the data of
// its parts start. The command line and its help, the open dialog, the
// detection of a part given without its kind (Detect.cpp) and the fuzz targets
// all read it, so a new kind is its class and one more row.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "texts/Texts.h"

class Job;
enum class FormatKind : uint8_t;

// One entry of a file dialog's type list.
struct FileTypeEntry {
    std::string_view label{};     // UTF-8, as the reference language words it
    std::string_view patterns{};  // "*.001;*.u001"
    // The catalogue's text of a label that is not a tool's own name.
    texts::TextId worded = texts::TextId::Count;
};

// The entry's label in the language in use.
std::string LabelOf(const FileTypeEntry& entry);

// What detection reads of a part: as much as the longest content rule looks
// at, the native header.
inline constexpr size_t kDetectedBytes = 104;

// Why detection took a part for a kind. Detect.cpp words each reason; the
// words of DKoupName name the number of the part to open.
enum class DetectionReason : uint8_t {
    NativeSignature,
    LegacyMark,
    EasySplitHeader,
    Splitter40Descriptor,
    NativeName,
    MaxSplitName,
    KfkName,
    DKoupName,
    SingleDigitName,
    NumberedName,
    NumberedNameCutkillerHeader,
};

// A part whose first bytes are the kind's: they start with `signature`, or,
// when the bytes say more than a fixed start, `fits` accepts them (given the
// bytes read, at most kDetectedBytes). Content rules come before any name: the
// first that holds, in the table's order, names its kind alone.
struct ContentRule {
    std::string_view signature{};
    bool (*fits)(std::span<const uint8_t> head) = nullptr;
    DetectionReason reason{};
};

// Where a part named by a rule leads: nowhere (the part opens as given), to
// the set's first part when that file is there, or to the first part always
// (its joiner then says what is missing).
enum class LeadToFirst : uint8_t { No, WhenThere, Always };

// A part named as the kind names its parts: a dot, `letters`, a number of
// minDigits to maxDigits digits, then `suffix`, the letters and the suffix in
// any case ("film.avi.kk3": letters "kk", number "3"). With `lettersEndText`
// the letters only end what follows the dot ("film.avi__003": "avi__").
// Every kind whose rule a name fits is named, the lowest `rank` first; a rule
// that also read the part's bytes gives the reason, as bytes say more than a
// name, or else the first one.
struct NameRule {
    std::string_view letters{};  // lower case
    bool lettersEndText = false;
    uint8_t minDigits = 1;
    uint8_t maxDigits = UINT8_MAX;
    std::string_view suffix{};  // lower case: ".pcw"
    // The number does not start with 0.
    bool unpadded = false;
    // Beside the part, no file of this number (`partAbsent`), a regular file of
    // this one (`partPresent`); the same stem and suffix, empty for no check.
    std::string_view partAbsent{};
    std::string_view partPresent{};
    // The part's first bytes must fit too: those of the part numbered
    // `headOf` beside it when given (the set's first part, which holds the
    // header), otherwise its own.
    bool (*headFits)(std::span<const uint8_t> head) = nullptr;
    std::string_view headOf{};
    // The numbers of a set's first part, looked for in this order.
    LeadToFirst lead = LeadToFirst::No;
    std::span<const std::string_view> firstNumbers{};
    DetectionReason reason{};
    uint8_t rank = 0;
};

struct DetectionRules {
    std::span<const ContentRule> content{};
    std::span<const NameRule> names{};
};

// Header bytes before the data: in the set's first part and in the others.
// The native set's last part may also end with its digests, which its header
// announces.
struct DataOffsets {
    int64_t first = 0;
    int64_t later = 0;
};

struct FormatRow {
    FormatKind code;
    // What --format names it; empty for an entry that the command line reaches
    // through another name.
    std::string_view cliName;
    FileTypeEntry entry;
    std::unique_ptr<Job> (*make)();
    // Empty for a second entry of a kind: the first one's rules name it.
    DetectionRules detection{};
    DataOffsets offsets{};
};

// In the order of the join dialog's entries; the first is the native format,
// which the command line takes when --format is not given.
std::span<const FormatRow> JoinFormats();
// The type list of the split dialog.
std::span<const FileTypeEntry> SplitFileTypes();

// The row of the join dialog's entry `index` (1-based); nullptr outside the list.
const FormatRow* FormatOfJoinEntry(int index);
// The row that --format names; nullptr for any other name.
const FormatRow* FormatOfCliName(std::string_view name);
// The names that --format takes, in the table's order.
std::vector<std::string_view> CliFormatNames();
