// The table of formats that the dialog, the command line and its help read:
// every row makes the job of its own code, and no name or entry is taken twice.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "core/Job.h"
#include "formats/FormatTable.h"
#include "formats/native/LegacySet.h"

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
    }
}

// The 1.0 format has no entry: its window and `pcw convert` make its job
// themselves, and the job must still say what it is.
TEST(FormatTable, TheOlderFormatsJobKnowsItsKindWithoutAnEntry) {
    EXPECT_EQ(LegacySet().formatKind, FormatKind::Legacy);
    for (const FormatRow& row : JoinFormats()) EXPECT_NE(row.code, FormatKind::Legacy);
}
