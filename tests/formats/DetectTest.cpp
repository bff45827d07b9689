// The kind of a set found from a part's name and first bytes, for sets made
// here, by hand after the other tools' layouts, by coreutils split and by 7-Zip.
#include <gtest/gtest.h>

#include <filesystem>

#include "ForeignJobs.h"
#include "formats/Detect.h"
#include "platform/Env.h"
#include "platform/IoFaults.h"
#include "support/TestSupport.h"

using namespace testsupport;
using KindList = std::vector<std::string_view>;

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
    // A later part is judged by the set's part 001, which holds the header,
    // and leads there; a Cutkiller job opens the set from it too.
    WriteFile(dir / "clip.002", RandomBytes(60, 6));
    const Detection second = DetectKind(dir / "clip.002");
    EXPECT_EQ(second.kinds, (std::vector<std::string_view>{"cutkiller", "generic"}));
    EXPECT_EQ(second.path, dir / "clip.001");
    {
        RecordingSink sink;
        RecordingDisplay display;
        auto job = foreigntest::MakeJob("cutkiller");
        ASSERT_TRUE(foreigntest::Open(*job, dir / "clip.002", display));
        EXPECT_EQ(job->choices.fileName, "clip.avi");
        EXPECT_EQ(job->LastNumber(), 3);
    }

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

TEST(DetectKind, OtherToolsNamesLeadToTheirSetsFirstPart) {
    TempDir dir;
    // KFK: kk0, kk1 ... kk10, in any case; a later part opens the set from kk0.
    for (const char* part : {"film.avi.kk0", "film.avi.kk1", "film.avi.kk12", "DISC.KK0"})
        WriteFile(dir / part, RandomBytes(20, 1));
    EXPECT_EQ(Kinds(dir / "DISC.KK0"), KindList{"kfk"});
    EXPECT_EQ(DetectKind(dir / "film.avi.kk0").path, dir / "film.avi.kk0");
    const Detection kfk = DetectKind(dir / "film.avi.kk12");
    EXPECT_EQ(kfk.kinds, KindList{"kfk"});
    EXPECT_EQ(kfk.reason, "nom en .kk0");
    EXPECT_EQ(kfk.path, dir / "film.avi.kk0");
    // Without its first part a later one stays as given: the reader says what is missing.
    WriteFile(dir / "alone.kk3", RandomBytes(20, 2));
    EXPECT_EQ(DetectKind(dir / "alone.kk3").path, dir / "alone.kk3");

    // D-Koup from D00, Découpeur from D01: a later part leads to whichever is there,
    // and a D01 beside a D00 is the second part of a D-Koup set.
    for (const char* part : {"dk.D00", "dk.D01", "dk.D02", "dc.d01", "dc.d02", "dc.d100"})
        WriteFile(dir / part, RandomBytes(20, 3));
    const struct {
        const char *given, *opened, *reason;
    } dkoup[] = {
        {"dk.D00", "dk.D00", "nom en .D00"},     {"dk.D01", "dk.D00", "nom en .D00"},
        {"dk.D02", "dk.D00", "nom en .D00"},     {"dc.d01", "dc.d01", "nom en .D01"},
        {"dc.d02", "dc.d01", "nom en .D01"},     {"dc.d100", "dc.d01", "nom en .D01"},
        {"gone.D07", "gone.D07", "nom en .D07"},
    };
    for (const auto& c : dkoup) {
        SCOPED_TRACE(c.given);
        const Detection found = DetectKind(dir / c.given);
        EXPECT_EQ(found.kinds, KindList{"dkoup"});
        EXPECT_EQ(found.path, dir / c.opened);
        EXPECT_EQ(found.reason, c.reason);
    }
    // Letters and digits that only look alike.
    for (const char* other : {"a.kk", "a.kkk0", "a.k0", "a.D0", "a.DD00", "a.D0x"})
        EXPECT_TRUE(Kinds(dir / other).empty()) << other;

    // One digit: Koup Koup (from 1) or a plain numbered set, which the user
    // must tell apart; a set with a part 0 is only the latter.
    WriteFile(dir / "movie.avi.1", RandomBytes(20, 4));
    EXPECT_EQ(Kinds(dir / "movie.avi.1"), (KindList{"koupkoup", "generic"}));
    EXPECT_EQ(Kinds(dir / "movie.avi.3"), (KindList{"koupkoup", "generic"}));
    WriteFile(dir / "zero.0", RandomBytes(20, 5));
    EXPECT_EQ(Kinds(dir / "zero.0"), KindList{"generic"});
    EXPECT_EQ(Kinds(dir / "zero.2"), KindList{"generic"});
    // An unpadded later part beside part 1 may be Koup Koup's too; padded, it is not.
    EXPECT_EQ(Kinds(dir / "movie.avi.12"), (KindList{"koupkoup", "generic"}));
    EXPECT_EQ(Kinds(dir / "movie.avi.012"), KindList{"generic"});
    EXPECT_EQ(Kinds(dir / "other.avi.12"), KindList{"generic"});
}

TEST(DetectKind, ALaterDkoupPartJoinsTheWholeSetThroughItsFirst) {
    // The reader refuses D02 itself: only the detection's first part joins the set.
    TempDir dir;
    const auto data = foreigntest::WriteParts(
        dir.path(), {{"m.bin.D00", "", 300}, {"m.bin.D01", "", 300}, {"m.bin.D02", "", 120}});
    const Detection found = DetectKind(dir / "m.bin.D02");
    ASSERT_EQ(found.kinds, KindList{"dkoup"});
    RecordingDisplay display;
    RecordingSink sink;
    auto job = foreigntest::MakeJob(found.kinds[0]);
    ASSERT_TRUE(foreigntest::Open(*job, found.path, display));
    ASSERT_EQ(foreigntest::Join(*job, "joined.bin"), Step::Finished);
    EXPECT_EQ(ReadFile(dir / "joined.bin"), data[0] + data[1] + data[2]);
}

TEST(DetectKind, FilesThatAreNoPartFitNoKind) {
    TempDir dir;
    WriteFile(dir / "blob", RandomBytes(400, 7));
    WriteFile(dir / "blob.bin", RandomBytes(400, 8));
    WriteFile(dir / "empty", "");
    EXPECT_TRUE(Kinds(dir / "blob").empty());
    EXPECT_TRUE(Kinds(dir / "blob.bin").empty());
    EXPECT_TRUE(Kinds(dir / "empty").empty());
    EXPECT_EQ(DetectKind(dir / "blob").path, dir / "blob");

    // An empty part still has its name.
    WriteFile(dir / "empty.001", "");
    WriteFile(dir / "empty.001.pcw", "");
    EXPECT_EQ(Kinds(dir / "empty.001"), KindList{"generic"});
    EXPECT_EQ(Kinds(dir / "empty.001.pcw"), KindList{"native"});

    // A folder is no part, whatever its name, and does not lead to the set
    // beside it.
    for (const char* folder : {"folder.001", "film.avi.002.pcw"})
        std::filesystem::create_directory(dir / folder);
    WriteFile(dir / "film.avi.001.pcw", RandomBytes(200, 9));
    const Detection folder = DetectKind(dir / "film.avi.002.pcw");
    EXPECT_TRUE(folder.kinds.empty());
    EXPECT_EQ(folder.path, dir / "film.avi.002.pcw");
    EXPECT_TRUE(Kinds(dir / "folder.001").empty());
    EXPECT_TRUE(Kinds(dir.path()).empty());
}

TEST(DetectKind, APlainSetsChecksumFileOpensTheSet) {
    TempDir dir;
    for (const char* part : {"film.avi.001", "film.avi.002", "lone.002"})
        WriteFile(dir / part, RandomBytes(2000, 4));
    for (const char* sums : {"film.avi.sha256", "film.avi.MD5", "lone.sha256", "x.md5"}) {
        WriteFile(dir / sums, "0123  film.avi.001\n");
        SCOPED_TRACE(sums);
        const Detection found = DetectKind(dir / sums);
        if (std::string_view(sums).rfind("film.avi", 0) == 0) {
            ASSERT_FALSE(found.kinds.empty());
            EXPECT_EQ(found.kinds.back(), "generic");
            EXPECT_EQ(found.path, dir / "film.avi.001");
        } else {
            EXPECT_TRUE(found.kinds.empty());  // no first part beside it
        }
    }
}

TEST(DetectKind, AFileThatCannotBeReadIsTakenByItsName) {
    TempDir dir;
    WriteFile(dir / "m.000", "EasySpl000003avi" + RandomBytes(100, 10));
    {
        platform::testing::IoFaults plan;
        plan.readErrorAfter = 0;
        platform::testing::ScopedIoFaults faults(plan);
        EXPECT_EQ(Kinds(dir / "m.000"), KindList{"generic"});
    }
    EXPECT_EQ(Kinds(dir / "m.000"), KindList{"easysplit"});
}

TEST(DetectKind, SevenZipVolumesJoinBackIntoTheArchive) {
    if (!platform::HasTool("7z")) GTEST_SKIP() << "7z is not installed";
    TempDir dir;
    WriteFile(dir / "data.bin", RandomBytes(100000, 11));
    // Stored, not compressed: four volumes of 30000 bytes at most.
    ASSERT_TRUE(platform::RunTool(
        {"7z", "a", "-y", "-mx0", "-v30000b", dir / "archive.7z", dir / "data.bin"}));
    // The archive is the volumes end to end.
    std::string archive;
    int volumes = 0;
    for (std::string volume = dir / "archive.7z.001"; platform::FileExists(volume);) {
        archive += ReadFile(volume);
        volume.back() = static_cast<char>('1' + ++volumes);
    }
    ASSERT_EQ(volumes, 4);

    for (const char* given : {"archive.7z.001", "archive.7z.003"}) {
        SCOPED_TRACE(given);
        const Detection found = DetectKind(dir / given);
        ASSERT_EQ(found.kinds, KindList{"generic"});
        EXPECT_EQ(found.path, dir / given);

        RecordingDisplay display;
        RecordingSink sink;
        auto job = foreigntest::MakeJob(found.kinds[0]);
        ASSERT_TRUE(foreigntest::Open(*job, found.path, display));
        EXPECT_EQ(job->choices.fileName, "archive.7z");
        std::string joined = "from-";
        joined.append(given + 11).append(".7z");
        ASSERT_EQ(foreigntest::Join(*job, joined), Step::Finished);
        EXPECT_EQ(ReadFile(dir / joined), archive);
    }
    // And 7-Zip reads the rebuilt archive as its own.
    const std::string out = dir / "out";
    std::filesystem::create_directory(out);
    ASSERT_TRUE(platform::RunTool({"7z", "x", "-y", "-o" + out, dir / "from-003.7z"}));
    EXPECT_EQ(ReadFile(out + "/data.bin"), ReadFile(dir / "data.bin"));
}
