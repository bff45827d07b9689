// The join that every foreign format shares: the destination check, the parts
// looked for before anything is written, and the progress shown.
#include <filesystem>

#include "ForeignJobs.h"
#include "platform/Reasons.h"

using namespace foreigntest;

namespace {

// Opens movie.avi.001, movie.avi.002, ... of the given sizes as a plain numbered set.
std::unique_ptr<ForeignSet> OpenNumbered(const TempDir& dir, const std::vector<size_t>& sizes,
                                         ProgressDisplay& display) {
    auto parts = Numbered("movie.avi.", 1, static_cast<int>(sizes.size()), 3, 0);
    for (size_t i = 0; i < sizes.size(); ++i) parts[i].size = sizes[i];
    WriteParts(dir.path(), parts);
    auto job = MakeJob("generic");
    EXPECT_TRUE(Open(*job, dir / "movie.avi.001", display));
    return job;
}

}  // namespace

TEST(ForeignJoin, TheDestinationIsCheckedBeforeTheJoinStarts) {
    const std::string refused = "Une ou plusieurs informations sont incorrectes : \n\r";
    const std::string exists = "\n\r- Le fichier de destination existe déjà :\n\r\n\r";
    TempDir dir, elsewhere;
    RecordingDisplay display;
    RecordingSink sink;
    auto job = OpenNumbered(dir, {100, 50}, display);
    WriteFile(dir / "movie.avi", "already there");

    std::string accented;  // 255 characters, 510 bytes
    for (int i = 0; i < 255; ++i) accented += "é";
    for (const std::string& name : {std::string(255, 'a'), std::string("x")})
        EXPECT_TRUE(job->CheckJoinParameters(name, false, platform::ShowAfter(kOwner)))
            << name.size();
    // 255 characters are accepted, but no more bytes than the file system holds.
    const size_t most = platform::MaxFileNameBytes(dir.path());
    EXPECT_EQ(job->CheckJoinParameters(accented, false, platform::ShowAfter(kOwner)),
              accented.size() <= most);
    job->choices.fileName = "movie.avi";
    for (const std::string& name : {std::string(256, 'a'), accented + "é", std::string()})
        EXPECT_FALSE(job->CheckJoinParameters(name, false, platform::ShowAfter(kOwner)))
            << name.size();
    EXPECT_FALSE(job->CheckJoinParameters("movie.avi", false, platform::ShowAfter(kOwner)));
    const auto m = sink.messages();
    ASSERT_EQ(m.size(), accented.size() <= most ? 4u : 5u);
    if (accented.size() > most) {
        EXPECT_EQ(m[0].text, refused +
                                 "\n\r- Nom du fichier de Destination trop long pour le système "
                                 "de fichiers (" +
                                 std::to_string(most) + " octets au plus par nom de fichier).");
    }
    const size_t first = m.size() - 4;
    EXPECT_EQ(m[first].text, refused +
                                 "\n\r- Nom du fichier original (longeur entre 1 et 255 car.)." +
                                 exists + dir / "movie.avi");
    EXPECT_EQ(m[first + 3].text, refused + exists + dir / "movie.avi");
    EXPECT_EQ(m[first + 3].title, "-=Parcelwise=-");
    EXPECT_EQ(m[first + 3].icon, 48);

    job->choices.folder = elsewhere.path();  // the user's own folder and name
    ASSERT_EQ(Join(*job, "rebuilt.bin"), Step::Finished);
    EXPECT_EQ(ListDir(elsewhere.path()), std::vector<std::string>{"rebuilt.bin"});
    EXPECT_EQ(ReadFile(elsewhere / "rebuilt.bin").size(), 150u);
}

TEST(ForeignJoin, AMissingPartIsReportedWithItsNumberBeforeAnythingIsWritten) {
    const struct {
        std::string kind;
        std::vector<Part> parts;
        std::string removed;  // after the open; none when the header counts a part too many
        int number;
    } cases[] = {
        {"kfk", Numbered("m.kk", 0, 2, 0, 100), "m.kk1", 1},
        {"generic", Numbered("m.", 1, 3, 3, 100), "m.003", 3},
        {"easysplit",
         {{"m.000", "EasySpl000002avi", 9}, {"m.001", "EasySpl001002avi", 9}},
         "m.001",
         1},
        {"cutkiller", {{"m.001", CutHeader("avi", "003"), 100}, {"m.002", "", 100}}, "", 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        TempDir dir;
        WriteParts(dir.path(), c.parts);
        RecordingSink sink;
        RecordingDisplay display;
        auto job = MakeJob(c.kind);
        ASSERT_TRUE(Open(*job, dir / c.parts[0].name, display));
        if (!c.removed.empty()) std::filesystem::remove(dir / c.removed);
        const auto before = ListDir(dir.path());
        EXPECT_EQ(Join(*job, "joined"), Step::Failed);
        ExpectFailure(sink, "Le fichier n°" + std::to_string(c.number) + " est introuvable",
                      "Recollage interrompu", 48);
        EXPECT_EQ(ListDir(dir.path()), before);
    }
}

TEST(ForeignJoin, ADescriptorWithoutDataPartsJoinsNothing) {
    for (bool partAppears : {false, true}) {
        TempDir dir;
        WriteFile(dir / "m.avi.h001", "SpLi40xm.avi\txx100\t");
        RecordingSink sink;
        RecordingDisplay display;
        auto job = MakeJob("splitter40");
        ASSERT_TRUE(Open(*job, dir / "m.avi.h001", display));
        if (partAppears) WriteFile(dir / "m.avi.001", RandomBytes(100, 1));
        EXPECT_EQ(Join(*job, "m.avi"), Step::Failed);
        ExpectFailure(sink,
                      "Le fichier n'est pas accessible.\n\r" + dir / "m.avi.001" +
                          " : fichier ou dossier introuvable",
                      "Erreur", 16);
        EXPECT_FALSE(platform::FileExists(dir / "m.avi"));
    }
}

TEST(ForeignJoin, ProgressFollowsEveryPart) {
    TempDir dir;
    RecordingDisplay display;
    RecordingSink sink;
    auto job = OpenNumbered(dir, {40000, 40000, 40000, 0}, display);
    ASSERT_EQ(Join(*job, "joined"), Step::Finished);

    // The status names the parts copied and the part in work; the empty part 4
    // adds nothing and shows "* %" until the success shows 100 %.
    EXPECT_EQ(display.valuesOf("bar2").back(), "100");
    EXPECT_EQ(
        display.valuesOf("lblInfo"),
        (std::vector<std::string>{"0 fichier recollé...", "1 fichier recollé...",
                                  "2 fichiers recollés...", "Processus terminé avec succès"}));
    EXPECT_EQ(display.valuesOf("lblPartie"),
              (std::vector<std::string>{"Recollage du fichier n° 1", "Recollage du fichier n° 2",
                                        "Recollage du fichier n° 3"}));
    const auto percentages = display.valuesOf("lblPourcentage");
    ASSERT_GE(percentages.size(), 2u);
    EXPECT_EQ(percentages[percentages.size() - 2], "* %");
    EXPECT_EQ(percentages.back(), "100%");
    EXPECT_EQ(display.valuesOf("Timer1"), std::vector<std::string>{"off"});
    EXPECT_EQ(display.closes(), 1);
    ASSERT_EQ(sink.messages().size(), 1u);
    EXPECT_EQ(sink.messages()[0].text, "Le fichier a été recoller avec succès !");
    EXPECT_EQ(sink.messages()[0].icon, 64);
}

// The worker reads the set's numbers and offsets as it goes on: the whole
// job, the format's own part included, must outlive it.
TEST(ForeignJoin, APausedJoinCanBeDestroyedAndEndsWhole) {
    for (const std::string kind : {"generic", "cutkiller"}) {
        SCOPED_TRACE(kind);
        TempDir dir;
        RecordingDisplay display;
        RecordingSink sink;
        std::vector<Part> parts = kind == "generic" ? Numbered("movie.avi.", 1, 3, 3, 30000)
                                                    : Numbered("movie.", 1, 3, 3, 30000);
        if (kind == "cutkiller") parts[0].header = CutHeader("avi", "003");
        const std::vector<std::string> data = WriteParts(dir.path(), parts);
        std::unique_ptr<ForeignSet> job = MakeJob(kind);
        ASSERT_TRUE(Open(*job, dir / parts[0].name, display));
        ASSERT_TRUE(job->CheckJoinParameters("joined", false, platform::ShowAfter(kOwner)));
        job->SetBufferSize(4096);
        job->Suspend();
        job->StartJoin();
        ASSERT_TRUE(nativetest::HeldAtItsFirstPause(*job));

        nativetest::Destroy(job);
        EXPECT_EQ(ReadFile(dir / "joined"), data[0] + data[1] + data[2]);
        EXPECT_EQ(sink.texts(),
                  std::vector<std::string>{"Le fichier a été recoller avec succès !"});
        EXPECT_EQ(display.closes(), 1);
    }
}

TEST(ForeignJoin, ThePercentageAndTheClockStayInRangeWhateverTheSetAnnounced) {
    const struct {
        std::vector<Part> parts;
        std::vector<std::string> percentages;
    } cases[] = {
        // EasySplit announces two parts of 1016 bytes and holds 3000 bytes of data.
        {{{"m.000", "EasySpl000003avi", 1000},
          {"m.001", "EasySpl001003avi", 1000},
          {"m.002", "EasySpl002003avi", 1000}},
         {"49%", "98%", "99%", "100%"}},
        // A set of one EasySplit part announces nothing: "* %" and no bar, no
        // text, until the success.
        {{{"m.000", "EasySpl000001avi", 1000}}, {"* %", "* %", "* %", "100%"}},
        // Cutkiller counts its header: 22000 bytes of 22016.
        {{{"m.001", CutHeader("avi", "003"), 10000}, {"m.002", "", 10000}, {"m.003", "", 2000}},
         {"45%", "90%", "99%", "100%"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.parts[0].header);
        TempDir dir;
        const auto data = WriteParts(dir.path(), c.parts);
        RecordingSink sink;
        RecordingDisplay display;
        auto job = MakeJob(c.parts[0].name == "m.000" ? "easysplit" : "cutkiller");
        ASSERT_TRUE(Open(*job, dir / c.parts[0].name, display));
        ASSERT_EQ(Join(*job, "joined"), Step::Finished);
        EXPECT_EQ(display.valuesOf("lblPourcentage"), c.percentages);
        for (const std::string& bar : display.valuesOf("bar1")) EXPECT_LE(std::stoi(bar), 100);
        if (c.percentages[0] == "* %") {
            EXPECT_EQ(display.valuesOf("bar1"), std::vector<std::string>{"100"});
            EXPECT_EQ(display.valuesOf("lblInfo").size(), 1u);  // the success only
        }
        std::string expected;
        for (const auto& d : data) expected += d;
        EXPECT_TRUE(ReadFile(dir / "joined") == expected);
        job->UpdateTimes(job->startTime + 1.0);
        EXPECT_GE(job->remainingTime, 0.0);
    }
}

// An EasySplit part shorter than its own header was never a whole part.
TEST(ForeignJoin, APartShorterThanItsHeaderIsCorrupt) {
    TempDir dir;
    WriteParts(dir.path(), {{"m.000", "EasySpl000002avi", 50}, {"m.001", "EasySpl", 0}});
    RecordingSink sink;
    RecordingDisplay display;
    auto job = MakeJob("easysplit");
    ASSERT_TRUE(Open(*job, dir / "m.000", display));
    EXPECT_EQ(Join(*job, "joined"), Step::Failed);
    // Found by the judgement of the set, before anything is written.
    ExpectFailure(sink,
                  "Le fichier n°1 est trop court pour contenir son en-tête : il semble être "
                  "corrompu.",
                  "Recollage interrompu", 48);
    EXPECT_FALSE(platform::FileExists(dir / "joined"));
    EXPECT_FALSE(platform::FileExists(dir / "joined.incomplet"));
}

// A part changed while it is copied would leave a mix of two files behind a
// success: the part must still be the file opened when its copy ends.
TEST(ForeignJoin, APartChangedDuringItsCopyFailsTheJoin) {
    PCW_SKIP_WHERE_HELD_FILES_ARE_LOCKED();
    constexpr size_t kPart = 3 * 1048576;  // over one copy step
    const struct {
        const char* what;
        std::function<void(const std::string& part)> change;
    } cases[] = {
        {"rewritten in place",
         [](const std::string& part) { nativetest::RewriteInPlace(part, kPart - 10); }},
        {"replaced", [](const std::string& part) { nativetest::SwapFile(part); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        RecordingSink sink;
        RecordingDisplay opened;
        auto job = OpenNumbered(dir, {kPart, 100}, opened);
        nativetest::HookDisplay display("Recollage du fichier n° 1",
                                        [&] { c.change(dir / "movie.avi.001"); });
        job->display = &display;
        EXPECT_EQ(Join(*job, "joined"), Step::Failed);
        EXPECT_TRUE(display.Acted());
        ExpectFailure(
            sink,
            "Le fichier n°1 a été modifié ou remplacé pendant le recollage : le fichier recollé ne "
            "serait pas le fichier d'origine." +
                nativetest::LeftUnder(dir / "joined.incomplet"),
            "Recollage interrompu", 16);
        // What was copied stays under the temporary name only.
        EXPECT_FALSE(platform::FileExists(dir / "joined"));
    }
}
