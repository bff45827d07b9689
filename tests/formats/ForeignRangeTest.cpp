// Which files make a foreign set: sets numbered from 0 by split, gaps that
// would hide later parts, chosen names too short for their kind's rule, and
// names whose fixed letters were typed in another case.
#include <filesystem>

#include "ForeignJobs.h"

using namespace foreigntest;

namespace {

// split's own numbered set of `original`: 4096-byte parts named
// name + the number on `width` digits from `from`; the number of parts.
int SplitInto(const std::string& folder, const std::string& name, const std::string& original,
              int width, int from) {
    WriteFile(folder + name, original);
    const std::string command = "cd '" + folder + "' && split -b 4096 -a " + std::to_string(width) +
                                " --numeric-suffixes=" + std::to_string(from) + " '" + name +
                                "' '" + name + ".' && rm '" + name + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return static_cast<int>(ListDir(folder).size());
}

std::string Numbered(int number, int width) {
    const std::string digits = std::to_string(number);
    return std::string(
               static_cast<size_t>(std::max<int>(0, width - static_cast<int>(digits.size()))),
               '0') +
           digits;
}

}  // namespace

// split -d numbers from 0: the file chosen must be in the set, whichever of
// them it is, and the set must hold every file before it too.
TEST(ForeignRange, SplitSetsJoinFromTheirFirstAndFromALaterFile) {
    PCW_SKIP_WITHOUT_COREUTILS();
    const std::string original = RandomBytes(5 * 4096 + 17, 77);
    for (int width = 1; width <= 4; ++width) {
        for (int from : {0, 1}) {
            for (int chosen : {from, from + 3}) {
                SCOPED_TRACE("width " + std::to_string(width) + " from " + std::to_string(from) +
                             " chosen " + std::to_string(chosen));
                TempDir parts, destination;
                const int count = SplitInto(parts.path(), "video.mkv", original, width, from);
                ASSERT_EQ(count, 6);
                RecordingSink sink;
                RecordingDisplay display;
                auto job = MakeJob("generic");
                ASSERT_TRUE(Open(*job, parts / ("video.mkv." + Numbered(chosen, width)), display));
                EXPECT_EQ(job->choices.fileName, "video.mkv");
                EXPECT_EQ(job->FirstNumber(), from);
                EXPECT_EQ(job->LastNumber(), from + 5);
                EXPECT_EQ(job->rebuiltSize, static_cast<int64_t>(original.size()));
                job->choices.folder = destination.path();
                ASSERT_EQ(Join(*job, "video.mkv"), Step::Finished) << sink.texts()[0];
                EXPECT_TRUE(ReadFile(destination / "video.mkv") == original);
            }
        }
    }
}

// D-Koup numbers from 00, Découpeur from 01: a D-Koup set opened from its
// part 01 still begins with the part 00 beside it.
TEST(ForeignRange, ADKoupSetOpenedFromItsSecondPartKeepsItsFirst) {
    TempDir parts, destination;
    const auto data = WriteParts(
        parts.path(), {{"m.avi.D00", "", 50}, {"m.avi.D01", "", 50}, {"m.avi.D02", "", 9}});
    RecordingSink sink;
    RecordingDisplay display;
    auto job = MakeJob("dkoup");
    ASSERT_TRUE(Open(*job, parts / "m.avi.D01", display));
    EXPECT_EQ(job->FirstNumber(), 0);
    EXPECT_EQ(job->LastNumber(), 2);
    EXPECT_EQ(job->rebuiltSize, 109);
    job->choices.folder = destination.path();
    ASSERT_EQ(Join(*job, "m.avi"), Step::Finished);
    EXPECT_TRUE(ReadFile(destination / "m.avi") == data[0] + data[1] + data[2]);
}

// A gap in a set found by names alone leaves parts out: the join names the
// first missing part and writes nothing, while a set that simply ends is whole.
TEST(ForeignRange, APartMissingBeforeAnotherStopsTheJoin) {
    const struct {
        std::string kind, chosen;
        std::vector<Part> parts;
        int32_t missing;
    } cases[] = {
        // clang-format off
        {"generic", "m.avi.001", {{"m.avi.001", "", 50}, {"m.avi.002", "", 50}, {"m.avi.004", "", 9}}, 3},
        {"generic", "m.avi.u001", {{"m.avi.u001", "", 50}, {"m.avi.u003", "", 9}}, 2},
        {"generic", "m.avi.00", {{"m.avi.00", "", 50}, {"m.avi.01", "", 50}, {"m.avi.03", "", 9}}, 2},
        {"maxsplit", "m.avi__01", {{"m.avi__01", "", 50}, {"m.avi__02", "", 50}, {"m.avi__04", "", 9}}, 3},
        {"koupkoup", "m.avi.1", {{"m.avi.1", "", 50}, {"m.avi.2", "", 50}, {"m.avi.11", "", 9}}, 3},
        {"kfk", "m.avi.kk0", {{"m.avi.kk0", "", 50}, {"m.avi.kk1", "", 50}, {"m.avi.kk3", "", 9}}, 2},
        {"dkoup", "m.avi.D00", {{"m.avi.D00", "", 50}, {"m.avi.D02", "", 9}}, 1},
        {"dkoup", "m.avi.D01", {{"m.avi.D01", "", 50}, {"m.avi.D02", "", 50}, {"m.avi.D100", "", 9}}, 3},
        {"splitter40", "m.avi.h001",
         {{"m.avi.h001", "SpLi40?m.avi\txx109\t", 0}, {"m.avi.001", "", 50}, {"m.avi.003", "", 9}}, 2},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind + " " + c.chosen);
        TempDir parts, destination;
        WriteParts(parts.path(), c.parts);
        RecordingSink sink;
        RecordingDisplay display;
        auto job = MakeJob(c.kind);
        ASSERT_TRUE(Open(*job, parts / c.chosen, display));
        job->choices.folder = destination.path();
        EXPECT_EQ(Join(*job, "m.avi"), Step::Failed);
        ExpectFailure(sink, "Le fichier n°" + std::to_string(c.missing) + " est introuvable",
                      "Recollage interrompu", 48);
        EXPECT_TRUE(ListDir(destination.path()).empty());
    }
}

// Names that only look like parts of the set do not extend it: another
// width, another stem, something after the number, a number too large.
TEST(ForeignRange, OnlyNamesOfTheSetsOwnRuleCount) {
    TempDir parts, destination;
    const auto data = WriteParts(parts.path(), {{"m.avi.001", "", 50},
                                                {"m.avi.002", "", 9},
                                                {"m.avi.0004", "", 1},
                                                {"m.avi.004.bak", "", 1},
                                                {"m.avi.u004", "", 1},
                                                {"n.avi.004", "", 1},
                                                {"m.avi.99999999999", "", 1},
                                                {"m.avi.2147483647", "", 1}});
    RecordingSink sink;
    RecordingDisplay display;
    auto job = MakeJob("generic");
    ASSERT_TRUE(Open(*job, parts / "m.avi.001", display));
    EXPECT_EQ(job->LastNumber(), 2);
    job->choices.folder = destination.path();
    ASSERT_EQ(Join(*job, "m.avi"), Step::Finished);
    EXPECT_TRUE(ReadFile(destination / "m.avi") == data[0] + data[1]);
}

// Rules that drop characters of the chosen name must find the parts in the
// chosen file's folder: a name shorter than what they drop is no such set.
TEST(ForeignRange, ANameTooShortForItsKindIsRefused) {
    const struct {
        std::string kind, name, content, tool;
    } cases[] = {
        {"easysplit", "fil", "EasySpl000002avi", "EasySplit"},
        {"cutkiller", "fi", CutHeader("avi", "002"), "Cutkiller"},
        {"splitter40", "fil", "SpLi40?m.avi\txx100\t", "Splitter 4.0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        TempDir outer;
        std::filesystem::create_directory(outer / "set");
        WriteFile(outer / ("set/" + c.name), c.content + std::string(50, 'x'));
        // What the rule would make of the name, one folder up.
        for (const std::string stray : {"se.001", "se002", "se.002", "s.001", "s002"})
            WriteFile(outer / stray, std::string(50, 'y'));
        RecordingSink sink;
        RecordingDisplay display;
        auto job = MakeJob(c.kind);
        EXPECT_FALSE(Open(*job, outer / ("set/" + c.name), display));
        EXPECT_EQ(sink.texts(),
                  std::vector<std::string>{"Impossible d'ouvrir ce fichier, vérifier qu'il s'agit "
                                           "bien d'un fichier découpé avec " +
                                           c.tool + "."});
    }
}

// Files copied through a file system that upper-cases names, or names typed
// in lower case: the other parts follow the case of the chosen one.
TEST(ForeignRange, FixedLettersInAnotherCaseMakeTheSameSets) {
    const struct {
        std::string kind, chosen, fileName;
        std::vector<Part> parts;
    } cases[] = {
        // clang-format off
        {"dkoup", "M.AVI.d00", "M.AVI", {{"M.AVI.d00", "", 50}, {"M.AVI.d01", "", 9}}},
        {"dkoup", "m.avi.d01", "m.avi", {{"m.avi.d01", "", 50}, {"m.avi.d02", "", 9}}},
        {"kfk", "M.AVI.KK0", "M.AVI", {{"M.AVI.KK0", "", 50}, {"M.AVI.KK1", "", 9}}},
        {"generic", "M.AVI.U001", "M.AVI", {{"M.AVI.U001", "", 50}, {"M.AVI.U002", "", 9}}},
        {"splitter40", "M.AVI.H001", "movie.avi",
         {{"M.AVI.H001", "SpLi40?movie.avi\txx59\t", 0}, {"M.AVI.001", "", 50}, {"M.AVI.002", "", 9}}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind + " " + c.chosen);
        TempDir parts, destination;
        auto data = WriteParts(parts.path(), c.parts);
        if (c.kind == "splitter40") data.erase(data.begin());
        RecordingSink sink;
        RecordingDisplay display;
        auto job = MakeJob(c.kind);
        ASSERT_TRUE(Open(*job, parts / c.chosen, display));
        EXPECT_EQ(job->choices.fileName, c.fileName);
        job->choices.folder = destination.path();
        ASSERT_EQ(Join(*job, c.fileName), Step::Finished);
        EXPECT_TRUE(ReadFile(destination / c.fileName) == data[0] + data[1]);
    }
}
