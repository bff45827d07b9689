// Recovery parts through pcw: split --recovery, verify's report and status,
// repair, and protect over sets that other tools made.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <sstream>

#include "cli/Commands.h"
#include "platform/Env.h"
#include "platform/Fs.h"
#include "support/TestSupport.h"
#include "texts/Texts.h"

using namespace testsupport;
using texts::Say;
using texts::TextId;

namespace {

// Every test runs in each language, expecting texts by their ids.
class RecoveryCommandsTest : public EachLanguage {
protected:
    int Pcw(std::vector<std::string> args) {
        out.str("");
        err.str("");
        cli::Context ctx{out, err, {}};
        return cli::Run(args, ctx);
    }
    bool Says(const std::string& text) const { return out.str().find(text) != std::string::npos; }
    std::string Source(size_t size) {
        original = RandomBytes(size, 5);
        WriteFile(dir / "film.avi", original);
        return dir / "film.avi";
    }
    // A file of the set, kept to compare with what a repair writes back.
    void Keep(const std::vector<std::string>& names) {
        for (const std::string& name : names) kept[name] = ReadFile(dir / name);
    }
    void ExpectKeptRestored() {
        for (const auto& [name, bytes] : kept) EXPECT_EQ(ReadFile(dir / name), bytes) << name;
    }

    TempDir dir;
    RecordingSink sink;
    std::ostringstream out, err;
    std::string original;
    std::map<std::string, std::string> kept;
};

TEST_P(RecoveryCommandsTest, ASplitWithRecoveryPartsLeavesTheSetAsItWas) {
    const std::string source = Source(2500000);
    TempDir plain;
    ASSERT_EQ(Pcw({"split", source, "--bytes", "700000", "--md5", "--folder", plain.path()}), 0);
    ASSERT_EQ(Pcw({"split", source, "--bytes", "700000", "--md5", "--recovery", "2"}), 0);
    EXPECT_EQ(ListDir(dir.path()),
              (std::vector<std::string>{"film.avi", "film.avi.001.pcw", "film.avi.002.pcw",
                                        "film.avi.003.pcw", "film.avi.004.pcw", "film.avi.R01.pcw",
                                        "film.avi.R02.pcw"}));
    for (const char* part : {"film.avi.001.pcw", "film.avi.002.pcw", "film.avi.004.pcw"})
        EXPECT_EQ(ReadFile(dir / part), ReadFile(plain / part)) << part;
}

// What verify says and exits with, by what was lost from a set of four parts
// and three recovery parts; then repair puts every file back.
TEST_P(RecoveryCommandsTest, VerifySaysWhetherALossCanBeRepairedAndRepairDoesIt) {
    const std::string source = Source(2500000);
    ASSERT_EQ(Pcw({"split", source, "--bytes", "700000", "--recovery", "3"}), 0);
    const std::vector<std::string> all = {
        "film.avi.001.pcw", "film.avi.002.pcw", "film.avi.003.pcw", "film.avi.004.pcw",
        "film.avi.R01.pcw", "film.avi.R02.pcw", "film.avi.R03.pcw"};
    Keep(all);
    const struct {
        std::vector<std::string> removed, damaged;
        std::string askedOf;
        int status;
        std::string said;
    } rows[] = {
        {{}, {}, "film.avi.001.pcw", 0, Say(TextId::RecoveryPartsIntact, {"3"})},
        {{"film.avi.002.pcw"},
         {"film.avi.004.pcw"},
         "film.avi.001.pcw",
         3,
         Say(TextId::RecoveryRepairable,
             {Say(TextId::RecoveryToRebuild, {"2"}), Say(TextId::RecoveryPresent, {"3"})})},
        {{"film.avi.001.pcw"},
         {},
         "film.avi.001.pcw",
         3,
         Say(TextId::RecoveryRepairable,
             {Say(TextId::RecoveryOneToRebuild), Say(TextId::RecoveryPresent, {"3"})})},
        {{"film.avi.002.pcw", "film.avi.R01.pcw", "film.avi.R02.pcw"},
         {},
         "film.avi.001.pcw",
         3,
         Say(TextId::RecoveryRepairable,
             {Say(TextId::RecoveryToRebuild, {"3"}), Say(TextId::RecoveryOnePresent)})},
        {{"film.avi.R02.pcw"},
         {"film.avi.R01.pcw"},
         "film.avi.R03.pcw",
         3,
         Say(TextId::RecoveryPartLine,
             {"1", dir / "film.avi.R01.pcw", Say(TextId::JudgedPartDamaged)})},
        {{"film.avi.001.pcw", "film.avi.003.pcw", "film.avi.R01.pcw"},
         {"film.avi.002.pcw"},
         "film.avi.R03.pcw",
         1,
         Say(TextId::RecoveryIrreparable,
             {Say(TextId::RecoveryLost, {"4"}), Say(TextId::RecoveryNeeded, {"3"}), "2"})},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.said);
        for (const std::string& name : row.removed) std::remove((dir / name).c_str());
        for (const std::string& name : row.damaged) {
            std::string bytes = kept[name];
            bytes[bytes.size() - 10] ^= 1;
            WriteFile(dir / name, bytes);
        }
        EXPECT_EQ(Pcw({"verify", dir / row.askedOf, "--json"}), row.status);
        const char* verdict = row.status == 0   ? "whole"
                              : row.status == 3 ? "repairable"
                                                : "irreparable";
        EXPECT_TRUE(Says(std::string("\"verdict\":\"") + verdict + "\"")) << out.str();
        EXPECT_EQ(Pcw({"verify", dir / row.askedOf}), row.status);
        EXPECT_TRUE(Says(row.said)) << out.str();
        const int repaired = Pcw({"repair", dir / row.askedOf});
        EXPECT_EQ(repaired, row.status == 1 ? 1 : 0) << out.str();
        if (row.status == 3) {
            ExpectKeptRestored();
            for (const std::string& name : row.damaged) {
                EXPECT_TRUE(
                    Says(Say(TextId::RepairKeptAsideLine, {dir / name, dir / name + ".endommage"})))
                    << out.str();
                std::remove((dir / (name + ".endommage")).c_str());
            }
            EXPECT_EQ(Pcw({"verify", dir / row.askedOf}), 0);
        }
        for (const std::string& name : all) WriteFile(dir / name, kept[name]);
    }
    ASSERT_EQ(Pcw({"join", dir / "film.avi.001.pcw", "--name", "back.avi"}), 0);
    EXPECT_EQ(ReadFile(dir / "back.avi"), original);
}

// A set of 300 parts and its 2 recovery parts: more files than the byte field
// has elements, and any two of them still come back.
TEST_P(RecoveryCommandsTest, RepairsASetOfMoreThan256Files) {
    const std::string source = Source(1320000);
    // 1000 parts and 50 recovery parts are more than any protected set has:
    // refused before a part is written.
    EXPECT_EQ(Pcw({"split", source, "--bytes", "1320", "--recovery", "50"}), 1);
    EXPECT_EQ(sink.texts().back(), Say(TextId::RecoveryTooManyShards, {"1049", "1050"}));
    ASSERT_EQ(ListDir(dir.path()).size(), 1u);
    ASSERT_EQ(Pcw({"split", source, "--bytes", "4400", "--recovery", "2"}), 0) << err.str();
    ASSERT_EQ(ListDir(dir.path()).size(), 1u + 300 + 2);
    const std::vector<std::string> lost = {"film.avi.150.pcw", "film.avi.300.pcw"};
    Keep(lost);
    for (const std::string& name : lost) std::remove((dir / name).c_str());
    EXPECT_EQ(Pcw({"verify", dir / "film.avi.R01.pcw"}), 3);
    ASSERT_EQ(Pcw({"repair", dir / "film.avi.001.pcw"}), 0) << out.str();
    ExpectKeptRestored();
    ASSERT_EQ(Pcw({"join", dir / "film.avi.001.pcw", "--name", "back.avi"}), 0) << out.str();
    EXPECT_EQ(ReadFile(dir / "back.avi"), original);
}

// Every loss of up to two files of a set with two recovery parts, the first
// and last data parts included, joined without a repair from any file of the
// set, lost or not, recovery parts too; three are refused with their counts.
TEST_P(RecoveryCommandsTest, AJoinRebuildsLostPartsOnItsWay) {
    const std::string source = Source(2500000);
    const struct {
        std::vector<std::string> tool;  // empty: pcw split … --recovery 2
        std::vector<std::string> split;
        std::vector<std::string> files;
    } rows[] = {
        {{},
         {"split", source, "--bytes", "700000", "--md5", "--recovery", "2"},
         {"film.avi.001.pcw", "film.avi.002.pcw", "film.avi.003.pcw", "film.avi.004.pcw",
          "film.avi.R01.pcw", "film.avi.R02.pcw"}},
        {{},
         {"split", source, "--bytes", "700000", "--recovery", "2"},
         {"film.avi.001.pcw", "film.avi.002.pcw", "film.avi.003.pcw", "film.avi.004.pcw",
          "film.avi.R01.pcw", "film.avi.R02.pcw"}},
        {{"split", "-b", "700000", "--numeric-suffixes=1", "-a", "3", source, dir / "cut."},
         {"protect", dir / "cut.001", "--recovery", "2"},
         {"cut.001", "cut.002", "cut.003", "cut.004", "cut.004.R01.pcw", "cut.004.R02.pcw"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.files[0] + (row.split.size() > 6 ? " --md5" : ""));
        for (const std::string& name : ListDir(dir.path()))
            if (name != "film.avi") std::remove((dir / name).c_str());
        if (!row.tool.empty()) {
            if (!platform::HasTool(row.tool[0])) GTEST_SKIP() << row.tool[0] << " is not installed";
            ASSERT_TRUE(platform::RunTool(row.tool));
        }
        ASSERT_EQ(Pcw(row.split), 0) << err.str();
        const std::vector<std::string>& all = row.files;
        kept.clear();
        Keep(all);
        for (unsigned mask = 1; mask < 64; ++mask) {
            const int losses = __builtin_popcount(mask);
            // Without a recovery part nothing says that the set was protected.
            if (losses > 3 || (mask & 0b110000) == 0b110000) continue;
            SCOPED_TRACE(mask);
            for (size_t i = 0; i < all.size(); ++i)
                if (mask >> i & 1) WriteFile(dir / all[i], i % 2 ? "" : "damaged");
            const std::string given = dir / all[mask % all.size()];
            const int status = Pcw({"join", given, "--name", "back.avi"});
            if (losses == 3) {
                EXPECT_EQ(status, 1);
                const int lostData = __builtin_popcount(mask & 0b1111);
                ASSERT_FALSE(sink.texts().empty());
                // Three losses with one recovery part at most among them.
                const int present = 2 - __builtin_popcount(mask & 0b110000);
                // The message is the report's line without its line end.
                std::string irreparable =
                    Say(TextId::RecoveryIrreparable,
                        {Say(TextId::RecoveryLost, {"3"}),
                         Say(TextId::RecoveryNeeded, {std::to_string(lostData)}),
                         std::to_string(present)});
                irreparable.pop_back();
                EXPECT_EQ(sink.texts().back(), irreparable) << sink.texts().back();
            } else {
                ASSERT_EQ(status, 0) << out.str() << sink.texts().back();
                EXPECT_EQ(ReadFile(dir / "back.avi"), original);
                for (size_t i = 0; i < 4; ++i)
                    EXPECT_EQ(
                        Says(Say(TextId::JoinRebuiltLine, {std::to_string(i + 1), dir / all[i]})),
                        (mask >> i & 1) != 0)
                        << out.str();
            }
            // Nothing beside the set but what the join made.
            EXPECT_EQ(ListDir(dir.path()).size(), all.size() + 1 + (losses < 3)) << given;
            std::remove((dir / "back.avi").c_str());
            for (const std::string& name : all) WriteFile(dir / name, kept[name]);
        }
    }
}

// Sets that coreutils and 7-Zip wrote, protected afterwards, come back whole
// after a part is lost and another damaged.
TEST_P(RecoveryCommandsTest, ProtectsTheSetsOfOtherTools) {
    const std::string source = Source(1000000);
    const struct {
        std::vector<std::string> tool;
        std::vector<std::string> parts;
        std::string recovery;
    } rows[] = {
        {{"split", "-b", "300000", "--numeric-suffixes=1", "-a", "3", source, dir / "cut."},
         {"cut.001", "cut.002", "cut.003", "cut.004"},
         "cut.004.R01.pcw"},
        {{"7z", "a", "-y", "-mx0", "-v300000b", dir / "archive.7z", source},
         {"archive.7z.001", "archive.7z.002", "archive.7z.003", "archive.7z.004"},
         "archive.7z.004.R01.pcw"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.tool[0]);
        if (!platform::HasTool(row.tool[0])) GTEST_SKIP() << row.tool[0] << " is not installed";
        ASSERT_TRUE(platform::RunTool(row.tool));
        kept.clear();
        Keep(row.parts);
        ASSERT_EQ(Pcw({"protect", dir / row.parts[1], "--recovery", "2"}), 0) << err.str();
        EXPECT_TRUE(Says(dir / row.recovery)) << out.str();
        std::remove((dir / row.parts[0]).c_str());
        WriteFile(dir / row.parts[2], "changed");
        EXPECT_EQ(Pcw({"verify", dir / row.recovery}), 3);
        ASSERT_EQ(Pcw({"repair", dir / row.parts[3]}), 0) << out.str();
        ExpectKeptRestored();
        std::remove((dir / row.parts[1]).c_str());
        ASSERT_EQ(Pcw({"join", dir / row.parts[0], "--name", "joined"}), 0) << out.str();
        std::string whole;
        for (const std::string& part : row.parts) whole += kept[part];
        EXPECT_EQ(ReadFile(dir / "joined"), whole);
        EXPECT_FALSE(platform::FileExists(dir / row.parts[1]));
        WriteFile(dir / row.parts[1], kept[row.parts[1]]);
        std::remove((dir / "joined").c_str());
    }
    std::remove((dir / "cut.002").c_str());
    EXPECT_EQ(Pcw({"protect", dir / "cut.001", "--recovery", "2"}), 1);
    ASSERT_FALSE(sink.texts().empty());
    EXPECT_EQ(sink.texts().back().rfind(Say(TextId::RecoverySetNotWhole, {""}), 0), 0u);
}

INSTANTIATE_TEST_SUITE_P(Languages, RecoveryCommandsTest, ::testing::ValuesIn(LanguageCodes()),
                         LanguageName);

}  // namespace
