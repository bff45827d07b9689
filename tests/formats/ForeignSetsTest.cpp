// Sets of the eight foreign tools, built here file by file: what opening them
// finds (original name, part range, announced size, where the data start) and
// what their joins write, into a folder other than the parts' one.
#include <cstdlib>

#include "ForeignJobs.h"
#include "platform/Reasons.h"

using namespace foreigntest;

namespace {

constexpr size_t K = 1024;

std::vector<Part> Cat(std::vector<Part> a, const std::vector<Part>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
std::vector<Part> Last(std::vector<Part> parts, size_t size) {
    parts.back().size = size;
    return parts;
}
std::string EasyHeader(const std::string& index) {
    return "EasySpl" + index + "003avi";
}

}  // namespace

TEST(ForeignSets, OpenAndJoinTheSetsOfEveryTool) {
    const struct {
        std::string kind, chosen, fileName;
        int32_t first, last;
        int64_t rebuilt;
        std::vector<Part> parts;
        size_t skip = 0, joined = 0;  // the files joined, 0 for all after those skipped
    } cases[] = {
        // clang-format off
        // Each of the first sets lies beside a file named like a later part,
        // but for the width of its number: no part of the set.
        {"maxsplit", "clip.mpg__1", "clip.mpg", 1, 10, 9 * K + 100,
         Cat(Last(Numbered("clip.mpg__", 1, 10, 1, K), 100), {{"clip.mpg__012", "", 9}}), 0, 10},
        // An underscore of the original extension; a part other than the first chosen.
        {"maxsplit", "a.x_y__002", "a.x_y", 1, 3, 3 * K, Numbered("a.x_y__", 1, 3, 3, K)},
        // A descriptor renamed next to the parts of another set named like its stored name.
        {"splitter40", "renamed.h001", "movie.avi", 1, 2, 30000,
         Cat(Cat({{"renamed.h001", "SpLi40?movie.avi\txx30000\t", 0}},
                 Last(Numbered("renamed.", 1, 2, 3, 20000), 10000)),
             Numbered("movie.avi.", 1, 3, 3, 50)), 1, 2},
        {"koupkoup", "m.avi.1", "m.avi", 1, 12, 5600,
         Cat(Last(Numbered("m.avi.", 1, 12, 0, 500), 100), {{"m.avi.014", "", 9}}), 0, 12},
        {"easysplit", "movie.000", "movie.avi", 0, 2, 2 * 1016,
         {{"movie.000", EasyHeader("000"), 1000}, {"movie.001", EasyHeader("001"), 1000},
          {"movie.002", EasyHeader("002"), 500}}},
        {"kfk", "m.avi.kk0", "m.avi", 0, 10, 3030,
         Cat(Last(Numbered("m.avi.kk", 0, 10, 0, 300), 30), {{"m.avi.kk012", "", 9}}), 0, 11},
        {"dkoup", "x.D00", "x", 0, 100, 101 * 16, Numbered("x.D", 0, 100, 2, 16)},
        {"dkoup", "m.avi.D01", "m.avi", 1, 2, 3 * K, Last(Numbered("m.avi.D", 1, 2, 2, 2 * K), K)},
        {"generic", "x.001", "x", 1, 1001, 1001 * 8,
         Cat(Numbered("x.", 1, 1001, 3, 8), {{"x.01003", "", 9}}), 0, 1001},
        {"generic", "film.u002", "film", 1, 2, K + 5, Last(Numbered("film.u", 1, 2, 3, K), 5)},
        {"generic", "m.avi.001", "m.avi", 1, 2, 1234 + 1234,
         {{"m.avi.001", "", 1234}, {"m.avi.002", "", 1234}}},
        {"cutkiller", "movie.001", "movie.avi", 1, 3, 22016,
         {{"movie.001", CutHeader("avi", "003"), 10000}, {"movie.002", "", 10000},
          {"movie.003", "", 2000}}},
        {"cutkiller", "my.movie.001", "my.movie.mpeg4", 1, 2, 1013,
         {{"my.movie.001", CutHeader("mpeg4", std::string("2\0\0", 3)), 1000},
          {"my.movie.002", "", 5}}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind + " " + c.chosen);
        TempDir parts, destination;
        const std::vector<std::string> data = WriteParts(parts.path(), c.parts);
        RecordingSink sink;
        RecordingDisplay display;
        auto job = MakeJob(c.kind);
        ASSERT_TRUE(Open(*job, parts / c.chosen, display));
        EXPECT_EQ(job->choices.fileName, c.fileName);
        EXPECT_EQ(job->choices.folder, parts.path());
        EXPECT_EQ(job->FirstNumber(), c.first);
        EXPECT_EQ(job->LastNumber(), c.last);
        EXPECT_EQ(job->rebuiltSize, c.rebuilt);
        // The header bytes that the kind's row of the format table says its
        // parts have, which the fuzz targets skip.
        const FormatRow* row = FormatOfCliName(c.kind);
        EXPECT_EQ(job->DataOffsetOf(c.first), row->offsets.first);
        if (c.last > c.first) {
            EXPECT_EQ(job->DataOffsetOf(c.first + 1), row->offsets.later);
        }

        job->choices.folder = destination.path();
        ASSERT_EQ(Join(*job, c.fileName, 4096), Step::Finished);
        std::string expected;
        for (size_t i = c.skip; i < (c.joined ? c.skip + c.joined : data.size()); ++i)
            expected += data[i];
        EXPECT_TRUE(ReadFile(destination / c.fileName) == expected);
        EXPECT_EQ(ListDir(parts.path()).size(), c.parts.size());
    }
}

TEST(ForeignSets, ASetOpenedThroughTheWrongEntryIsReadByThatEntrysRules) {
    TempDir dir;
    RecordingSink sink;
    RecordingDisplay display;
    // Cutkiller parts taken as a plain numbered set: the header is data.
    const auto data =
        WriteParts(dir.path(), {{"m.001", CutHeader("avi", "002"), 600}, {"m.002", "", 0}});
    auto generic = MakeJob("generic");
    ASSERT_TRUE(Open(*generic, dir / "m.001", display));
    ASSERT_EQ(Join(*generic, "m"), Step::Finished);
    EXPECT_TRUE(ReadFile(dir / "m") == CutHeader("avi", "002") + data[0]);
    // A plain numbered part has no count where Cutkiller looks for one.
    WriteParts(dir.path(), {{"m.avi.001", "RIFFxyzw", 600}});
    EXPECT_FALSE(Open(*MakeJob("cutkiller"), dir / "m.avi.001", display));
    EXPECT_EQ(
        sink.texts().back(),
        "Impossible d'ouvrir ce fichier, vérifier qu'il s'agit bien d'un fichier découpé avec "
        "Cutkiller.");
}

TEST(ForeignSets, JoinsBackByteForByteASetMadeBySplit) {
    PCW_SKIP_WITHOUT_COREUTILS();
    TempDir dir, destination;
    const std::string original = RandomBytes(5 * 65536 + 17, 2024);
    WriteFile(dir / "video.mkv", original);
    const std::string split =
        "cd '" + dir.path() +
        "' && split -b 65536 -d -a 3 --numeric-suffixes=1 video.mkv video.mkv.";
    ASSERT_EQ(std::system(split.c_str()), 0);

    RecordingSink sink;
    RecordingDisplay display;
    auto job = MakeJob("generic");
    ASSERT_TRUE(Open(*job, dir / "video.mkv.001", display));
    EXPECT_EQ(job->LastNumber(), 6);
    EXPECT_EQ(job->rebuiltSize, static_cast<int64_t>(original.size()));
    job->choices.folder = destination.path();
    ASSERT_EQ(Join(*job, "video.mkv"), Step::Finished);
    EXPECT_TRUE(ReadFile(destination / "video.mkv") == original);
}

// Windows opens "film.avi.002" for "FILM.AVI.002": the parts it would find
// are counted too, or a join would end at the first part and say it succeeded.
// Elsewhere those are other files, and the set ends where its own names end.
TEST(ForeignSets, PartsAreCountedAsTheSystemComparesNames) {
    TempDir dir;
    const auto data = WriteParts(
        dir.path(),
        {{"film.avi.001", "", 1000}, {"FILM.AVI.002", "", 1000}, {"Film.Avi.003", "", 10}});
    RecordingSink sink;
    RecordingDisplay display;
    auto job = MakeJob("generic");
    ASSERT_TRUE(Open(*job, dir / "film.avi.001", display));
    TempDir destination;
    job->choices.folder = destination.path();
    if (platform::kNameRules == platform::NameRules::Windows) {
        EXPECT_EQ(job->LastNumber(), 3);
        ASSERT_EQ(Join(*job, "film.avi"), Step::Finished);
        EXPECT_TRUE(ReadFile(destination / "film.avi") == data[0] + data[1] + data[2]);
    } else {
        EXPECT_EQ(job->LastNumber(), 1);
    }
}

// Every name the folder holds is a destination a join can reach, even where
// its temporary name would be longer than the file system allows: the
// temporary name is shortened, and the rebuilt file ends under its own name.
TEST(ForeignSets, EveryKindJoinsUnderTheLongestNamesTheFolderHolds) {
    const struct {
        std::string kind, chosen;
        std::vector<Part> parts;
        size_t skip = 0;  // the files before the data
    } cases[] = {
        {"native", "", {}},
        {"maxsplit", "c.mpg__1", Last(Numbered("c.mpg__", 1, 3, 1, K), 100)},
        {"splitter40", "r.h001",
         Cat({{"r.h001", "SpLi40?movie.avi\txx3000\t", 0}},
             Last(Numbered("r.", 1, 2, 3, 2000), 1000)),
         1},
        {"koupkoup", "m.1", Last(Numbered("m.", 1, 3, 0, 500), 100)},
        {"easysplit",
         "e.000",
         {{"e.000", EasyHeader("000"), 1000},
          {"e.001", EasyHeader("001"), 1000},
          {"e.002", EasyHeader("002"), 500}}},
        {"kfk", "m.kk0", Last(Numbered("m.kk", 0, 2, 0, 300), 30)},
        {"dkoup", "x.D00", Numbered("x.D", 0, 3, 2, 16)},
        {"generic", "g.001", Last(Numbered("g.", 1, 3, 3, K), 5)},
        {"cutkiller",
         "k.001",
         {{"k.001", CutHeader("avi", "003"), 1000}, {"k.002", "", 1000}, {"k.003", "", 20}}},
    };
    TempDir elsewhere;
    const size_t most = platform::MaxFileNameBytes(elsewhere.path());
    for (const auto& c : cases) {
        for (size_t bytes : {most - 9, most - 4, most}) {
            SCOPED_TRACE(c.kind + ", a name of " + std::to_string(bytes) + " bytes");
            TempDir dir;
            const std::string name(bytes, 'n');
            std::string expected;
            if (c.kind == "native") {
                const std::string source = RandomBytes(3000, 9);
                WriteFile(dir / "s.bin", source);
                ASSERT_EQ(nativetest::Split(dir / "s.bin", dir.path(), 1200, 16384, true),
                          Step::Finished);
                RecordingDisplay display;
                NativeSet job;
                ASSERT_TRUE(nativetest::OpenSet(job, dir / "s.bin.001.pcw", display));
                job.choices.folder = elsewhere.path();
                EXPECT_EQ(nativetest::Join(job, true, 16384, name), Step::Finished);
                expected = source;
            } else {
                const std::vector<std::string> data = WriteParts(dir.path(), c.parts);
                for (size_t i = c.skip; i < data.size(); ++i) expected += data[i];
                RecordingDisplay display;
                auto job = MakeJob(c.kind);
                ASSERT_TRUE(Open(*job, dir / c.chosen, display));
                job->choices.folder = elsewhere.path();
                EXPECT_EQ(Join(*job, name), Step::Finished);
            }
            EXPECT_EQ(ListDir(elsewhere.path()), std::vector<std::string>{name});
            EXPECT_TRUE(ReadFile(elsewhere / name) == expected);
            std::filesystem::remove(FsPath(elsewhere / name));
        }
    }
}
