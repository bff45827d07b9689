// The table of formats that the dialog, the command line and its help, the
// detection and the fuzz targets read: every row makes the job of its own
// code, no name or entry is taken twice, and its rules say what detection finds.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "NativeJobs.h"
#include "core/Job.h"
#include "formats/Detect.h"
#include "formats/FormatTable.h"
#include "formats/native/LegacySet.h"
#include "platform/Fs.h"
#include "support/TestSupport.h"

using namespace testsupport;

namespace {

bool AllDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

TEST(FormatTable, EveryRowMakesItsOwnKindThroughItsNameAndItsEntry) {
    const auto rows = JoinFormats();
    ASSERT_FALSE(rows.empty());
    // Without --format the command line opens what the first entry opens.
    EXPECT_EQ(rows.front().code, FormatKind::Native);
    EXPECT_EQ(rows.front().cliName, "native");

    for (size_t i = 0; i < rows.size(); ++i) {
        const FormatRow& row = rows[i];
        SCOPED_TRACE(std::string(row.entry.label));
        ASSERT_EQ(FormatOfJoinEntry(static_cast<int>(i) + 1), &row);
        EXPECT_EQ(row.make()->formatKind, row.code);
        EXPECT_FALSE(row.entry.patterns.empty());
        if (!row.cliName.empty()) {
            EXPECT_EQ(FormatOfCliName(row.cliName), &row);
        }
    }
    for (int outside : {-1, 0, static_cast<int>(rows.size()) + 1})
        EXPECT_EQ(FormatOfJoinEntry(outside), nullptr) << outside;
    for (const char* unknown : {"", "Native", "zip"}) EXPECT_EQ(FormatOfCliName(unknown), nullptr);
}

TEST(FormatTable, NamesAndEntriesAreUnique) {
    std::set<std::string_view> names, labels;
    std::set<FormatKind> namedCodes;
    for (const FormatRow& row : JoinFormats()) {
        EXPECT_TRUE(labels.insert(row.entry.label).second) << row.entry.label;
        if (row.cliName.empty()) continue;
        EXPECT_TRUE(names.insert(row.cliName).second) << row.cliName;
        // A second entry of a kind is reached by the first one's name.
        EXPECT_TRUE(namedCodes.insert(row.code).second) << row.cliName;
    }
    for (const FormatRow& row : JoinFormats())
        EXPECT_TRUE(namedCodes.count(row.code)) << row.entry.label;
    EXPECT_EQ(CliFormatNames().size(), names.size());
}

TEST(FormatTable, EveryDialogEntryHasALabelAndPatterns) {
    std::vector<FileTypeEntry> entries(SplitFileTypes().begin(), SplitFileTypes().end());
    for (const FormatRow& row : JoinFormats()) entries.push_back(row.entry);
    for (const FileTypeEntry& entry : entries) {
        EXPECT_FALSE(entry.label.empty()) << entry.patterns;
        EXPECT_FALSE(entry.patterns.empty()) << entry.label;
        // A worded label is its catalogue's text, the table's label in the reference.
        if (entry.worded == texts::TextId::Count) continue;
        EXPECT_EQ(texts::Languages()[0].rows[static_cast<size_t>(entry.worded)].text, entry.label);
        for (const texts::Language& language : texts::Languages()) {
            texts::UseLanguage(language.code);
            EXPECT_EQ(LabelOf(entry), texts::TextOf(entry.worded));
            EXPECT_NE(LabelOf(entry).find(entry.label.substr(entry.label.find('('))),
                      std::string::npos)
                << "the patterns shown stay as they are";
        }
        texts::UseLanguage(texts::Languages()[0].code);
    }
}

// The 1.0 format has no entry: its window and `pcw convert` make its job
// themselves, and the job must still say what it is.
TEST(FormatTable, TheOlderFormatsJobKnowsItsKindWithoutAnEntry) {
    EXPECT_EQ(LegacySet().formatKind, FormatKind::Legacy);
    for (const FormatRow& row : JoinFormats()) EXPECT_NE(row.code, FormatKind::Legacy);
}

// The rules are data that detection reads as they are written: the ones it
// could never match, or that would match every file, are faults of the table.
TEST(FormatTable, DetectionRulesAreWrittenAsDetectionReadsThem) {
    for (const FormatRow& row : JoinFormats()) {
        SCOPED_TRACE(std::string(row.entry.label));
        const DetectionRules& rules = row.detection;
        // Detection names a kind by its --format name: a second entry of a
        // kind has no rules, and every kind that has a name can be found.
        EXPECT_EQ(row.cliName.empty(), rules.content.empty() && rules.names.empty());
        for (const ContentRule& rule : rules.content) {
            EXPECT_TRUE(!rule.signature.empty() || rule.fits != nullptr) << "fits every file";
            EXPECT_LE(rule.signature.size(), kDetectedBytes);
        }
        for (const NameRule& rule : rules.names) {
            // Names are compared folded to lower case.
            EXPECT_EQ(platform::FoldCase(rule.letters), rule.letters);
            EXPECT_EQ(platform::FoldCase(rule.suffix), rule.suffix);
            EXPECT_GE(rule.minDigits, 1);
            EXPECT_LE(rule.minDigits, rule.maxDigits);
            EXPECT_EQ(rule.lead == LeadToFirst::No, rule.firstNumbers.empty());
            // A first part is a part of its own rule.
            for (std::string_view first : rule.firstNumbers) {
                EXPECT_TRUE(AllDigits(first)) << first;
                EXPECT_GE(first.size(), rule.minDigits) << first;
                EXPECT_LE(first.size(), rule.maxDigits) << first;
                EXPECT_FALSE(rule.unpadded && first.front() == '0') << first;
            }
        }
    }
}

// Whatever a rule says, detection finds: a signature names its kind alone
// under any name, and a part named by a rule is taken for its kind, leading
// to the set's first part when the rule says so.
TEST(FormatTable, EveryRuleOfTheTableLeadsDetectionToItsKind) {
    for (const FormatRow& row : JoinFormats()) {
        SCOPED_TRACE(std::string(row.entry.label));
        for (const ContentRule& rule : row.detection.content) {
            if (rule.signature.empty()) continue;
            TempDir dir;
            WriteFile(dir / "blob", std::string(rule.signature) + RandomBytes(300, 1));
            EXPECT_EQ(DetectKind(dir / "blob").kinds, std::vector<std::string_view>{row.cliName});
        }
        for (const NameRule& rule : row.detection.names) {
            if (rule.headFits != nullptr) continue;  // bytes of its own kind: DetectTest
            TempDir dir;
            const auto nameOf = [&](std::string number) {
                return (rule.lettersEndText ? "film.avi" : "film.avi.") +
                       std::string(rule.letters) + number + std::string(rule.suffix);
            };
            std::string number = std::string(rule.minDigits, '0');
            number.front() = '1';
            if (!rule.partPresent.empty())
                WriteFile(dir / nameOf(std::string(rule.partPresent)), RandomBytes(50, 2));
            WriteFile(dir / nameOf(number), RandomBytes(50, 3));
            const Detection found = DetectKind(dir / nameOf(number));
            SCOPED_TRACE(nameOf(number));
            EXPECT_NE(std::find(found.kinds.begin(), found.kinds.end(), row.cliName),
                      found.kinds.end());
            EXPECT_FALSE(found.reason.empty());
            if (rule.lead == LeadToFirst::No ||
                std::string_view(number) == rule.firstNumbers.front())
                continue;
            const std::string first = dir / nameOf(std::string(rule.firstNumbers.front()));
            WriteFile(first, RandomBytes(50, 4));
            EXPECT_EQ(DetectKind(dir / nameOf(number)).path, first);
        }
    }
}

// The header bytes that the fuzz targets skip for each kind are those its
// reader skips; here for the native set, whose parts the program writes
// (ForeignSetsTest holds the foreign readers to their rows).
TEST(FormatTable, TheNativeRowSaysWhereItsPartsHoldTheirData) {
    const FormatRow& native = JoinFormats().front();
    TempDir dir;
    const std::string original = RandomBytes(2 * 1048576 + 300, 5);
    WriteFile(dir / "data.bin", original);
    ASSERT_EQ(nativetest::Split(dir / "data.bin", dir.path(), 1048576), Step::Finished);
    std::string data;
    for (int number = 1; number <= 3; ++number) {
        const std::string part = ReadFile(nativetest::PartPath(dir.path(), "data.bin", number));
        const int64_t offset = number == 1 ? native.offsets.first : native.offsets.later;
        data.append(part, static_cast<size_t>(offset));
    }
    EXPECT_TRUE(data == original);
}
