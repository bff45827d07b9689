// Sets of the 1.0 format, built byte by byte from their layout: what OpenSet
// reads or refuses, the first part that the conversion writes, the runs that
// must stop and leave every file as it was, and the converted set joined back.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <utility>

#include "NativeJobs.h"
#include "formats/Workflow.h"
#include "formats/native/LegacySet.h"
#include "platform/IoFaults.h"

using namespace nativetest;
namespace fs = std::filesystem;

namespace {

constexpr char kStop[] = "Conersion interrompue";
constexpr char kCorrupt[] =
    "Le fichier Parcelwise semble être corrompu. Il n'est pas possible de le recoller.";

template <class T>
void Put(std::string& bytes, size_t at, T value) {
    std::memcpy(&bytes[at], &value, sizeof value);
}

// A 1.0 set: the numbers of its blocks and the data of its parts.
struct LegacyFiles {
    int32_t offset = 1000;   // D
    int32_t payload = 5000;  // P
    int32_t parts = 3;
    int32_t digestFlag = 1;
    std::string name = "film.avi";  // Windows-1252, as on disk
    int32_t laterPart = 3000;       // data bytes of every part after the first
    double date = 38418.75;
    std::string original = RandomBytes(static_cast<size_t>(OriginalSize()), 10);

    int64_t OriginalSize() const { return payload + int64_t{parts - 1} * laterPart; }

    // The first part as the 1.0 splitter laid it out; the bytes that no one
    // reads are not zero, so that a reader that takes them shows.
    std::string FirstPart() const {
        std::string lead(36, '\x5A'), description(136, '\x5A'), digests;
        lead[0] = 17;
        lead.replace(1, 17, "Corvane(c) - 2004");
        Put(lead, 20, static_cast<int32_t>(OriginalSize()));
        Put(lead, 24, payload);
        Put(lead, 28, offset);
        description[0] = 10;
        description.replace(1, 10, "Parcelwise");
        description[11] = static_cast<char>(name.size());
        description.replace(12, name.size(), name);
        Put(description, 112, parts);
        Put(description, 120, date);
        Put(description, 128, digestFlag);
        for (int i = 0; digestFlag == 1 && i < parts; ++i) digests += TestMD5(std::to_string(i));
        return lead + original.substr(0, offset) + description + digests +
               original.substr(offset, payload - offset);
    }

    // The first part that the conversion must write.
    std::string Converted() const {
        std::string header(104, '\0');
        header[0] = 10;
        header.replace(1, 10, "Parcelwise");
        header[21] = 3;
        header.replace(22, 3, "1.1");
        Put(header, 32, date);
        header[40] = static_cast<char>(name.size());
        header.replace(41, name.size(), name);
        Put(header, 92, parts);
        Put(header, 96, OriginalSize());
        return header + original.substr(0, payload);
    }
};

// Remembers the bar, and lets a test act once at its first move, while the
// copy is under way.
class BarDisplay final : public ProgressDisplay {
public:
    void SetOverallBar(int position) override {
        bars.push_back(position);
        if (onFirstMove) std::exchange(onFirstMove, nullptr)();
    }
    void SetPartBar(int) override { ADD_FAILURE() << "the conversion window has one bar"; }
    void SetPercentText(std::string_view) override { ADD_FAILURE(); }
    void SetStatusText(std::string_view) override { ADD_FAILURE(); }
    void SetPartText(std::string_view) override { ADD_FAILURE(); }
    void SetDoneText(std::string_view) override { ADD_FAILURE(); }
    void RunClock(bool) override { ADD_FAILURE(); }
    // The conversion's messages are the conversion window's.
    void ShowMessage(const platform::Message& message) override {
        platform::ShowMessages(kProgress, {message});
    }
    void CloseAfterJob() override { ++closes; }

    std::vector<int> bars;
    std::function<void()> onFirstMove;
    int closes = 0;
};

// A message box on one line, so that whole runs compare at once.
std::string Box(const std::string& text, const std::string& title, int icon,
                platform::WindowHandle owner) {
    return title + " | " + text + " | " + std::to_string(icon) +
           (owner == kOwner      ? " | main"
            : owner == kProgress ? " | window"
                                 : " | ?");
}

// One scratch folder with a job, filled as the conversion window fills it.
struct Conversion {
    void Write(const LegacyFiles& set) {
        WriteFile(First(), set.FirstPart());
        for (int k = 2; k <= set.parts; ++k)
            WriteFile(PartPath(dir.path(), "film.avi", k),
                      set.original.substr(set.payload + (k - 2) * set.laterPart, set.laterPart));
    }
    bool WriteAndOpen(const LegacyFiles& set) {
        Write(set);
        return Open();
    }
    bool Open(const std::string& path = "") {
        job.display = &display;
        return workflow::OpenLegacySet(job, path.empty() ? First() : path,
                                       platform::ShowAfter(kOwner));
    }
    Step Convert() {
        job.StartConvert();
        AwaitWorker(job);
        return job.step;
    }
    std::string First() const { return dir / "film.avi.001.pcw"; }
    std::vector<std::string> Boxes() const {
        std::vector<std::string> boxes;
        for (const ShownMessage& m : sink.messages())
            boxes.push_back(Box(m.text, m.title, m.icon, m.owner));
        return boxes;
    }
    // The worker's own message, then the end of a failed run.
    void ExpectFailure(const std::string& text, const std::string& title, int icon) const {
        EXPECT_EQ(Boxes(),
                  (std::vector<std::string>{Box(text, title, icon, kProgress),
                                            Box(kStopped, "-=Parcelwise=-", 16, kProgress)}));
        EXPECT_EQ(display.closes, 1);
    }

    TempDir dir;
    RecordingSink sink;
    LegacySet job;
    BarDisplay display;
};

}  // namespace

TEST(LegacyConvertTest, ConvertsTheFirstPartOfEveryLayout) {
    const struct {
        const char* what;
        int32_t offset, payload, parts, digestFlag;
    } cases[] = {
        {"digests after the block", 1000, 5000, 3, 1},
        {"block at the start of the data", 0, 5000, 3, 1},
        {"no digests", 1000, 5000, 3, 0},
        {"chunks over several buffers", 40000, 70001, 2, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Conversion run;
        const LegacyFiles set{
            .offset = c.offset, .payload = c.payload, .parts = c.parts, .digestFlag = c.digestFlag};
        run.Write(set);
        auto expected = Snapshot(run.dir.path());
        expected["film.avi.001.pcw.ancien"] = expected["film.avi.001.pcw"];
        expected["film.avi.001.pcw"] = set.Converted();

        ASSERT_TRUE(run.Open());
        EXPECT_EQ(run.job.digests.size(), c.digestFlag == 1 ? size_t(c.parts) : 0u);
        ASSERT_EQ(run.Convert(), Step::Finished);
        EXPECT_EQ(Snapshot(run.dir.path()), expected);
        EXPECT_EQ(run.Boxes(),
                  (std::vector<std::string>{
                      Box("Le fichier a été converti au format Parcelwise 1.1 avec succès !",
                          "-=Parcelwise=-", 64, kProgress)}));
        EXPECT_EQ(run.display.closes, 1);
        EXPECT_TRUE(run.job.sourcePath.empty());
        EXPECT_FALSE(run.job.opened);
    }
}

// A set whose names came back upper-cased is converted like any other; its
// parts are looked for in the first part's case.
TEST(LegacyConvertTest, ConvertsASetWhoseNamesAreInUpperCase) {
    Conversion run;
    const LegacyFiles set;
    const std::string first = run.dir / "FILM.AVI.001.PCW";
    WriteFile(first, set.FirstPart());
    for (int k = 2; k <= set.parts; ++k)
        WriteFile(run.dir / ("FILM.AVI.00" + std::to_string(k) + ".PCW"),
                  set.original.substr(set.payload + (k - 2) * set.laterPart, set.laterPart));
    ASSERT_TRUE(run.Open(first));
    ASSERT_EQ(run.Convert(), Step::Finished);
    EXPECT_EQ(ReadFile(first), set.Converted());
    EXPECT_EQ(ReadFile(first + ".ancien"), set.FirstPart());
}

// Closing the window of a paused conversion lets the conversion end first.
TEST(LegacyConvertTest, APausedConversionCanBeDestroyedAndEndsWhole) {
    Conversion run;
    const LegacyFiles set{.offset = 40000, .payload = 70001, .parts = 2};
    run.Write(set);
    auto job = std::make_unique<LegacySet>();
    job->sourcePath = run.First();
    job->sourceSize = platform::FileSize(run.First());
    job->display = &run.display;
    ASSERT_TRUE(job->OpenSet(platform::ShowAfter(kOwner)));
    job->SetBufferSize(4096);
    job->Suspend();
    job->StartConvert();

    Destroy(job);
    EXPECT_EQ(ReadFile(run.First()), set.Converted());
    EXPECT_EQ(ReadFile(run.First() + ".ancien"), set.FirstPart());
    EXPECT_EQ(run.display.closes, 1);
}

// Ctrl-C or the window's cancel stops the copy at its next buffer: the old
// first part stays, and the half-written file is taken back.
TEST(LegacyConvertTest, ACancelledConversionLeavesTheSetAsItWas) {
    Conversion run;
    const LegacyFiles set{.offset = 40000, .payload = 70001, .parts = 2};
    ASSERT_TRUE(run.WriteAndOpen(set));
    run.job.SetBufferSize(4096);
    run.display.onFirstMove = [&] { run.job.Cancel(); };
    EXPECT_EQ(run.Convert(), Step::Cancelled);
    EXPECT_EQ(ReadFile(run.First()), set.FirstPart());
    EXPECT_EQ(ListDir(run.dir.path()).size(), 2u);
    EXPECT_EQ(run.Boxes(), (std::vector<std::string>{Box("Le processus a été annulé.",
                                                         "-=Parcelwise=-", 48, kProgress)}));
}

TEST(LegacyConvertTest, CountsTheWholeOldPartSoTheBarEndsShortOfTheEnd) {
    Conversion run;
    run.Write(LegacyFiles{});
    ASSERT_EQ(platform::FileSize(run.First()), 5268);
    ASSERT_TRUE(run.Open());
    const LegacySet& job = run.job;
    EXPECT_EQ(job.lead.originalSize, 11000);
    EXPECT_EQ(job.description.partCount, 3);
    EXPECT_EQ(job.description.splitDate, 38418.75);
    EXPECT_EQ(job.digests, (std::vector<std::string>{TestMD5("0"), TestMD5("1"), TestMD5("2")}));
    ASSERT_EQ(run.Convert(), Step::Finished);
    EXPECT_EQ(platform::FileSize(run.First()), 5104);
    // 1000 then 5000 bytes of 5232: 19 and 95 pin the part size between 5209 and 5263.
    EXPECT_EQ(run.display.bars, (std::vector<int>{19, 95, 95}));
}

TEST(LegacyConvertTest, OpenSetRefusesWhatIsNoUsableSet) {
    const struct {
        const char* what;
        std::function<void(std::string&)> damage;
        bool unknown;  // an unknown format is the caller's to show
    } cases[] = {
        {"another mark", [](std::string& b) { b[5] = 'X'; }, true},
        {"another signature", [](std::string& b) { b[36 + 1000 + 3] = 'X'; }, true},
        {"cut inside the lead block", [](std::string& b) { b.resize(20); }, true},
        {"negative offset", [](std::string& b) { Put(b, 28, int32_t{-1}); }, false},
        {"offset past the payload", [](std::string& b) { Put(b, 24, int32_t{999}); }, false},
        {"no parts", [](std::string& b) { Put(b, 36 + 1000 + 112, int32_t{0}); }, false},
        {"one part: no set the joiner takes",
         [](std::string& b) { Put(b, 36 + 1000 + 112, int32_t{1}); }, false},
        {"no original size", [](std::string& b) { Put(b, 20, int32_t{0}); }, false},
        {"payload above the original", [](std::string& b) { Put(b, 20, int32_t{4999}); }, false},
        {"digests cut short", [](std::string& b) { b.resize(36 + 1000 + 136 + 50); }, false},
        {"data cut short", [](std::string& b) { b.pop_back(); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Conversion run;
        std::string bytes = LegacyFiles{}.FirstPart();
        c.damage(bytes);
        WriteFile(run.First(), bytes);

        EXPECT_FALSE(run.Open());
        EXPECT_EQ(run.job.openError, c.unknown ? "Format de fichier inconnu" : "");
        // What is no 1.0 set at all is said once, as the general error report.
        EXPECT_EQ(run.Boxes(),
                  std::vector<std::string>{
                      c.unknown ? Box("Format de fichier inconnu.", "Parcelwise 1.1", 16, kOwner)
                                : Box(kCorrupt, "Fichier corrompu", 48, kOwner)});
        EXPECT_FALSE(run.job.opened);
        EXPECT_EQ(run.job.description.partCount, 0);
        EXPECT_EQ(ReadFile(run.First()), bytes);
    }

    Conversion run;
    WriteFile(run.dir / "film.avi.pcw", LegacyFiles{}.FirstPart());
    EXPECT_FALSE(run.Open(run.dir / "missing.001.pcw"));
    EXPECT_FALSE(run.Open(run.dir / "film.avi.pcw"));
    EXPECT_EQ(run.Boxes(),
              (std::vector<std::string>{
                  Box("Impossible d'ouvrir le fichier !\n\r" + run.dir / "missing.001.pcw" +
                          " : fichier ou dossier introuvable",
                      "Erreur", 16, kOwner),
                  Box("Ce fichier n'est pas le premier d'un jeu : le nom du premier fichier se "
                      "termine par .001.pcw.",
                      "Erreur", 48, kOwner)}));
}

// Every check of the worker that finds something wrong stops before the first
// byte is written.
TEST(LegacyConvertTest, StopsBeforeAnyWorkWhenThePartsAreMissingOrInTheWay) {
    const struct {
        const char* what;
        std::function<void(Conversion&)> prepare;
        std::string text, title;
        std::string file, reason;  // the line that says which file and why
    } cases[] = {
        {"third part missing",
         [](Conversion& r) { fs::remove(PartPath(r.dir.path(), "film.avi", 3)); },
         "Le fichier n°3 est introuvable", kStop, "", ""},
        {"conversion file there", [](Conversion& r) { WriteFile(r.First() + ".convert", "x"); },
         "Une erreur est survenue pendant la création du fichier conversion : \n\r\n\r"
         "    - Le fichier de conversion existe déjà.\n\r"
         "    - Le dossier de conversion est en lecture seule.",
         "Erreur", "film.avi.001.pcw.convert", "le fichier existe déjà"},
        {"old part's new name taken", [](Conversion& r) { WriteFile(r.First() + ".ancien", "x"); },
         "Le fichier < film.avi.001.pcw.ancien > existe déjà : la conversion ne peut pas "
         "conserver l'ancien fichier.",
         kStop, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Conversion run;
        ASSERT_TRUE(run.WriteAndOpen(LegacyFiles{}));
        c.prepare(run);
        const auto before = Snapshot(run.dir.path());
        EXPECT_EQ(run.Convert(), Step::Failed);
        run.ExpectFailure(
            c.file.empty() ? c.text : c.text + "\n\r" + run.dir / c.file + " : " + c.reason,
            c.title, 48);
        EXPECT_EQ(Snapshot(run.dir.path()), before);
        EXPECT_TRUE(run.display.bars.empty());
    }
}

// A first part that ends early or cannot be read, a conversion file that cannot
// be written: the old part stays, and the conversion file holds only what was read.
TEST(LegacyConvertTest, FaultsDuringTheCopyKeepTheOldFirstPart) {
    const std::string first = "< film.avi.001.pcw >";
    const std::string shorter =
        "Le fichier " + first +
        " est plus court que ne le disent ses blocs : il semble être corrompu.";
    const struct {
        const char* what;
        int64_t cutAt, readErrorAfter, writeErrorAfter;
        std::string text, title;
        std::string file, reason;  // the line that says which file and why
    } cases[] = {
        {"ends before D", 36 + 600, -1, -1, shorter, kStop, "", ""},
        {"ends before P", 36 + 1000 + 136 + 96 + 2500, -1, -1, shorter, kStop, "", ""},
        {"read refused", -1, 2500, -1, "Erreur de lecture du fichier " + first + ".", kStop,
         "film.avi.001.pcw", "erreur d'entrée-sortie du disque"},
        {"write refused", -1, -1, 104 + 1500,
         "Erreur d'écriture dans le fichier < film.avi.001.pcw.convert >.", "Erreur",
         "film.avi.001.pcw.convert", "disque plein"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Conversion run;
        const LegacyFiles set;
        ASSERT_TRUE(run.WriteAndOpen(set));
        if (c.cutAt >= 0) fs::resize_file(run.First(), c.cutAt);  // after the open
        const std::string old = ReadFile(run.First());
        platform::testing::IoFaults plan;
        plan.readErrorAfter = c.readErrorAfter;
        plan.writeErrorAfter = c.writeErrorAfter;
        {
            platform::testing::ScopedIoFaults faults(plan);
            EXPECT_EQ(run.Convert(), Step::Failed);
        }
        run.ExpectFailure(
            c.file.empty() ? c.text : c.text + "\n\r" + run.dir / c.file + " : " + c.reason,
            c.title, 16);
        EXPECT_EQ(ReadFile(run.First()), old);
        EXPECT_FALSE(platform::FileExists(run.First() + ".ancien"));
        const std::string written = ReadFile(run.First() + ".convert");
        EXPECT_LT(written.size(), 5104u);
        EXPECT_EQ(written, set.Converted().substr(0, written.size()));
    }
}

// Someone else's file takes or frees a name while the copy runs: either rename
// may then fail, and the set must stay usable under its own names.
TEST(LegacyConvertTest, AFailedRenameIsAFailureThatLosesNothing) {
    const struct {
        const char* what;
        std::function<void(const std::string&)> meanwhile;
        std::string text;
        bool convertedKept;
    } cases[] = {
        {"old part's new name taken",
         [](const std::string& first) { WriteFile(first + ".ancien", "intruder"); },
         "Le fichier < film.avi.001.pcw.ancien > existe déjà : la conversion ne peut pas "
         "conserver l'ancien fichier.",
         true},
        {"converted file gone", [](const std::string& first) { fs::remove(first + ".convert"); },
         "Le fichier converti < film.avi.001.pcw.convert > ne peut pas prendre le nom < "
         "film.avi.001.pcw >. L'ancien fichier a repris sa place : la conversion n'a pas eu "
         "lieu.\n\r{dir}film.avi.001.pcw.convert : fichier ou dossier introuvable",
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (!c.convertedKept && !kHeldFilesCanChange) continue;  // the job holds it
        Conversion run;
        const LegacyFiles set;
        ASSERT_TRUE(run.WriteAndOpen(set));
        const std::string old = ReadFile(run.First());
        run.display.onFirstMove = [&] { c.meanwhile(run.First()); };
        EXPECT_EQ(run.Convert(), Step::Failed);
        std::string text = c.text;
        if (const size_t at = text.find("{dir}"); at != std::string::npos)
            text.replace(at, 5, run.dir.path());
        run.ExpectFailure(text, kStop, 48);
        EXPECT_EQ(ReadFile(run.First()), old);
        EXPECT_EQ(ReadFile(run.First() + ".ancien"), c.convertedKept ? "intruder" : "");
        if (c.convertedKept) {
            EXPECT_EQ(ReadFile(run.First() + ".convert"), set.Converted());
        }
    }
}

// The window keeps its job after a run, and after a refused open: "Convertir"
// then finds nothing that it may convert.
TEST(LegacyConvertTest, ConvertsNothingWithoutAnOpenedSet) {
    Conversion run;
    ASSERT_TRUE(run.WriteAndOpen(LegacyFiles{}));
    ASSERT_EQ(run.Convert(), Step::Finished);
    const auto converted = Snapshot(run.dir.path());
    EXPECT_EQ(run.Convert(), Step::Failed);
    EXPECT_EQ(run.sink.texts().at(1), "Le fichier n°1 est introuvable");
    EXPECT_EQ(Snapshot(run.dir.path()), converted);

    Conversion refused;
    LegacyFiles empty;
    empty.parts = 0;
    refused.Write(empty);
    ASSERT_FALSE(refused.Open());
    const auto before = Snapshot(refused.dir.path());
    EXPECT_EQ(refused.Convert(), Step::Failed);
    EXPECT_EQ(refused.sink.texts().at(1), "Le fichier n'est pas accessible.");
    EXPECT_EQ(Snapshot(refused.dir.path()), before);
}

TEST(LegacyConvertTest, TheConvertedSetJoinsIntoTheOriginalUnderASafeShortName) {
    Conversion run;
    LegacyFiles set{.offset = 70000, .payload = 200000, .parts = 4, .laterPart = 200000};
    set.name = "a/" + std::string(30, '\xE9') + std::string(28, 'b');  // 60 characters
    set.original = RandomBytes(static_cast<size_t>(set.OriginalSize()), 4);
    ASSERT_TRUE(run.WriteAndOpen(set));
    std::string accents;
    for (int i = 0; i < 30; ++i) accents += "é";
    EXPECT_EQ(run.job.description.originalName, "a/" + accents + std::string(28, 'b'));
    EXPECT_EQ(run.job.choices.fileName, "a_" + accents + std::string(28, 'b'));
    ASSERT_EQ(run.Convert(), Step::Finished);
    EXPECT_EQ(ReadFile(run.First()).substr(40, 51),
              '\x32' + ("a_" + std::string(30, '\xE9')) + std::string(18, 'b'));

    RecordingDisplay display;
    NativeSet joiner;
    ASSERT_TRUE(OpenSet(joiner, run.First(), display));
    const std::string stored = "a_" + accents + std::string(18, 'b');
    EXPECT_EQ(joiner.choices.fileName, stored);
    ASSERT_EQ(Join(joiner, true), Step::Finished);
    EXPECT_EQ(ReadFile(run.dir / stored), set.original);
}
