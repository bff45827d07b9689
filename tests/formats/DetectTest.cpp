// The kind of a set found from a part's name and first bytes, for sets made
// here, by hand after the other tools' layouts, and by coreutils split.
#include <gtest/gtest.h>

#include "formats/Detect.h"
#include "platform/Env.h"
#include "support/TestSupport.h"

using namespace testsupport;

namespace {

std::vector<std::string_view> Kinds(const std::string& path) {
    return DetectKind(path).kinds;
}

}  // namespace

TEST(DetectKind, SignaturesComeBeforeNamesAndLaterPartsLeadToTheFirst) {
    TempDir dir;
    // Content: the other tools' headers, whatever the name.
    WriteFile(dir / "m.000", "EasySpl000003avi" + RandomBytes(100, 1));
    WriteFile(dir / "m.avi.h001", "SpLi40xm.avi\txx100\t");
    WriteFile(dir / "legacy.001.pcw",
              "\x11"
              "Corvane(c) - 2004" +
                  RandomBytes(200, 2));
    EXPECT_EQ(Kinds(dir / "m.000"), std::vector<std::string_view>{"easysplit"});
    EXPECT_EQ(Kinds(dir / "m.avi.h001"), std::vector<std::string_view>{"splitter40"});
    EXPECT_EQ(Kinds(dir / "legacy.001.pcw"), std::vector<std::string_view>{"native"});

    // A native part, the first or a later one, even unreadable or damaged:
    // the native joiner then says what is wrong with it.
    WriteFile(dir / "film.avi.003.pcw", RandomBytes(300, 3));
    const Detection later = DetectKind(dir / "film.avi.003.pcw");
    EXPECT_EQ(later.kinds, std::vector<std::string_view>{"native"});
    EXPECT_EQ(later.path, dir / "film.avi.001.pcw");
    EXPECT_EQ(DetectKind(dir / "FILM.AVI.012.PCW").path, dir / "FILM.AVI.001.PCW");

    // Names alone.
    WriteFile(dir / "a.x_y__002", RandomBytes(50, 4));
    EXPECT_EQ(Kinds(dir / "a.x_y__002"), std::vector<std::string_view>{"maxsplit"});
    WriteFile(dir / "film.avi.u003", std::string(50, '\0'));
    EXPECT_EQ(Kinds(dir / "film.avi.u003"), std::vector<std::string_view>{"generic"});

    // Two kinds fit: a three-digit part whose first bytes read as a count.
    WriteFile(dir / "clip.001", std::string("avi\0\0"
                                            "003",
                                            8) +
                                    RandomBytes(100, 5));
    EXPECT_EQ(Kinds(dir / "clip.001"), (std::vector<std::string_view>{"cutkiller", "generic"}));

    // None fits.
    WriteFile(dir / "notes.txt", "text");
    EXPECT_TRUE(Kinds(dir / "notes.txt").empty());
    EXPECT_TRUE(Kinds(dir / "absent").empty());
}

TEST(DetectKind, CoreutilsSetsAreNumberedSets) {
    if (!platform::HasTool("split")) GTEST_SKIP() << "split is not installed";
    TempDir dir;
    WriteFile(dir / "data.bin", RandomBytes(30000, 6));
    ASSERT_TRUE(platform::RunTool(
        {"split", "-b", "10000", "-d", "-a", "3", dir / "data.bin", dir / "data.bin."}));
    ASSERT_TRUE(platform::RunTool({"split", "-b", "10000", "--numeric-suffixes=1", "-a", "3",
                                   dir / "data.bin", dir / "one.bin."}));
    for (const char* part : {"data.bin.000", "data.bin.002", "one.bin.001", "one.bin.003"}) {
        SCOPED_TRACE(part);
        const auto kinds = Kinds(dir / part);
        ASSERT_FALSE(kinds.empty());
        EXPECT_EQ(kinds.back(), "generic");
    }
}
