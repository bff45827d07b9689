// Native sets that are hostile, damaged or change under the job, and systems
// that refuse reads and writes: every run ends through its failure path, with
// its two messages, leaves the set as it was and writes no byte it did not read.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include <unistd.h>

#include "NativeJobs.h"
#include "platform/IoFaults.h"

using namespace nativetest;
using platform::testing::IoFaults;
using platform::testing::ScopedIoFaults;

namespace {

constexpr int32_t kPart = 40000;
constexpr int64_t kSize = 100000;  // three parts: 40000, 40000, 20000

// A set of three parts with digests: 40000, 40000 and 20000 bytes of data.
class NativeFaultTest : public NativeSetTest {
protected:
    void SetUp() override { Source(kSize); }
    Step SplitSet() { return Split(dir / "film.avi", dir.path(), kPart, 16384, true); }
    // A first part of the header and ten bytes of data, alone in the folder.
    std::string FirstPartOf(const NativeHeader& header) {
        const auto bytes = EncodeHeader(header);
        WriteFile(dir / "x.001.pcw", std::string(bytes.begin(), bytes.end()) + "0123456789");
        return dir / "x.001.pcw";
    }
};

}  // namespace

TEST_F(NativeFaultTest, StoredNamesNeverLeadOutOfTheDestinationFolder) {
    const bool windows = platform::kNameRules == platform::NameRules::Windows;
    const struct {
        std::string raw, safe;
    } cases[] = {
        {"../evil", ".._evil"},
        {"a/b", "a_b"},
        {"..", "__"},
        {".", "_"},
        {"a\\b", windows ? "a_b" : "a\\b"},
        {"/etc/passwd", "_etc_passwd"},
        {"a\x01\x1F!", "a__!"},
        {"x\x81y", "x_y"},
        {std::string(1, '\0'), "_"},
        // Windows would write into a device, or a name it cuts short.
        {"NUL", windows ? "_NUL" : "NUL"},
        {"con.txt", windows ? "_con.txt" : "con.txt"},
        {"Com1.tar.gz", windows ? "_Com1.tar.gz" : "Com1.tar.gz"},
        {"a:b?c", windows ? "a_b_c" : "a:b?c"},
        {"fin. ", windows ? "fin__" : "fin. "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.safe);
        TempDir outer;
        const std::string folder = outer / "set/";
        std::filesystem::create_directory(folder);
        NativeHeader h{"Parcelwise", "1.1", 38418, "placeholder", 0, 2, kSize};
        auto header = EncodeHeader(h);
        header[40] = static_cast<uint8_t>(c.raw.size());
        std::copy(c.raw.begin(), c.raw.end(), header.begin() + 41);
        std::fill(header.begin() + 41 + c.raw.size(), header.begin() + 91, 0);
        WriteFile(folder + "x.001.pcw",
                  std::string(header.begin(), header.end()) + source.substr(0, 60000));
        WriteFile(folder + "x.002.pcw", source.substr(60000));

        RecordingSink messages;
        RecordingDisplay display;
        NativeSet job;
        ASSERT_TRUE(OpenSet(job, folder + "x.001.pcw", display));
        EXPECT_EQ(job.choices.fileName, c.safe);
        EXPECT_EQ(job.header.originalName, c.safe);
        // A device name's "_" is explained; the other changes go unsaid.
        const bool device = windows && c.safe.size() == c.raw.size() + 1 &&
                            c.safe.compare(1, c.raw.size(), c.raw) == 0;
        const auto shown = messages.messages();
        ASSERT_EQ(shown.size(), device ? 1u : 0u);
        if (device) {
            EXPECT_EQ(shown[0].text,
                      "Le nom enregistré dans le jeu est un nom réservé par Windows à un "
                      "périphérique, comme CON, PRN, AUX, NUL, COM1 ou LPT1, même suivi d'une "
                      "extension : le fichier recollé s'appellera " +
                          c.safe + ".");
        }
        ASSERT_EQ(Join(job, false), Step::Finished);
        EXPECT_EQ(ListDir(outer.path()), (std::vector<std::string>{"set"}));
        EXPECT_EQ(ListDir(folder).size(), 3u);
        EXPECT_TRUE(ReadFile(folder + c.safe) == source);
    }
}

TEST_F(NativeFaultTest, ALastPartShorterThanItsDigestBlockIsCorrupt) {
    ASSERT_EQ(SplitSet(), Step::Finished);
    WriteFile(Part(3), ReadFile(Part(3)).substr(0, 95));  // the block alone takes 96 bytes
    RecordingSink messages;
    RecordingDisplay display;
    NativeSet job;
    EXPECT_FALSE(OpenSet(job, Part(1), display));
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].title, "Fichier corrompu");
    EXPECT_EQ(messages.messages()[0].icon, 48);
}

TEST_F(NativeFaultTest, PartsThatDoNotAddUpStopTheJoinBeforeTheOutputExists) {
    ASSERT_EQ(SplitSet(), Step::Finished);
    const std::string part2 = ReadFile(Part(2));
    // The part at fault is named as verify names it.
    for (const auto& [altered, why] :
         {std::pair{part2 + "x",
                    std::string("trop long (40001 octets de données au lieu de 40000)")},
          std::pair{part2.substr(1),
                    std::string("trop court (39999 octets de données au lieu de 40000)")}}) {
        WriteFile(Part(2), altered);
        const auto set = Parts();
        RecordingSink messages;
        EXPECT_EQ(Join(Part(1), "joined", false), Step::Failed);
        ExpectFailure(
            messages,
            "La taille des fichiers ne correspond pas à celle du fichier d'origine : le jeu "
            "de fichiers est incomplet ou corrompu.\n\r\n\rLe fichier n°2 est " +
                why + ".",
            "Recollage interrompu", 48);
        EXPECT_FALSE(platform::FileExists(dir / "joined"));
        EXPECT_TRUE(Parts() == set);
    }

    // A first part cut inside its own header still reads as one (the missing
    // bytes are zeros); the data that it lacks must not be made up by part 2.
    TempDir crafted;
    const auto header = EncodeHeader({"Parcelwise", "1.1", 38418, "x", 0, 2, 50000});
    WriteFile(crafted / "x.001.pcw", std::string(header.begin(), header.begin() + 100));
    WriteFile(crafted / "x.002.pcw", source.substr(0, 50004));
    RecordingSink messages;
    EXPECT_EQ(Join(crafted / "x.001.pcw", "joined", false), Step::Failed);
    EXPECT_EQ(messages.messages().at(0).title, "Recollage interrompu");
    EXPECT_FALSE(platform::FileExists(crafted / "joined"));
}

TEST_F(NativeFaultTest, SplitFailuresEndTheRunAndKeepOnlyWhatWasRead) {
    const std::string full = "disque plein", io = "erreur d'entrée-sortie du disque";
    const struct {
        const char* what;
        int64_t readErrorAfter, readEndAfter, writeErrorAfter;
        std::string text;
        std::string file, reason;  // the line that says which file and why
    } cases[] = {
        {"read error in part 2", 50000, -1, -1, "Erreur de lecture du fichier source !", "film.avi",
         io},
        {"source ends in part 2", -1, 50000, -1,
         "Le fichier source est plus court que prévu : il a changé pendant le découpage !", "", ""},
        {"full disk in part 2", -1, -1, 50000, "Erreur d'écriture dans le fichier *.002.pcw.",
         "film.avi.002.pcw", full},
        {"full disk at the header", -1, -1, kSize, "Erreur d'écriture dans le fichier *.001.pcw.",
         "film.avi.001.pcw", full},
        {"full disk at the digests", -1, -1, kSize + 104 + 10,
         "Erreur d'écriture dans le fichier *.003.pcw.", "film.avi.003.pcw", full},
        {"read error while hashing", kSize + 1000, -1, -1,
         "Impossible de lire le fichier *.001.pcw pour calculer son Hash MD5.", "film.avi.001.pcw",
         io},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir scratch;
        const std::string text =
            c.file.empty() ? c.text : c.text + "\n\r" + scratch / c.file + " : " + c.reason;
        WriteFile(scratch / "film.avi", source);
        RecordingSink messages;
        RecordingDisplay display;
        IoFaults plan;
        plan.readErrorAfter = c.readErrorAfter;
        plan.readEndAfter = c.readEndAfter;
        plan.writeErrorAfter = c.writeErrorAfter;
        {
            ScopedIoFaults faults(plan);
            EXPECT_EQ(Split(scratch / "film.avi", scratch.path(), kPart, 4096, true, display),
                      Step::Failed);
        }
        ExpectFailure(messages, text, "Erreur", 16);
        EXPECT_EQ(display.closes(), 1);
        EXPECT_TRUE(ReadFile(scratch / "film.avi") == source);

        // Whatever reached the parts is the source, in its place.
        std::string data;
        for (int k = 1; platform::FileExists(PartPath(scratch.path(), "film.avi", k)); ++k) {
            std::string part = ReadFile(PartPath(scratch.path(), "film.avi", k));
            data += k == 1 ? part.substr(104) : part;
        }
        if (data.size() > source.size()) data.resize(source.size());  // a digest block
        EXPECT_TRUE(source.compare(0, data.size(), data) == 0);
        EXPECT_LE(static_cast<int64_t>(data.size()), plan.bytesRead.load());
    }
}

TEST_F(NativeFaultTest, JoinFailuresEndTheRunAndLeaveTheSetAsItWas) {
    ASSERT_EQ(SplitSet(), Step::Finished);
    const auto set = Parts();
    const std::string full = "Erreur d'écriture dans le fichier de destination.";
    const std::string io = "erreur d'entrée-sortie du disque";
    const struct {
        const char* what;
        bool verify;
        int64_t readErrorAfter, readEndAfter, writeErrorAfter;
        std::string text, title;
        int icon;
        bool outputCreated;
        std::string file, reason;  // the line that says which file and why; "" for the output
        bool syncFails = false;
    } cases[] = {
        {"read error in part 2", false, 50000, -1, -1, "Erreur de lecture du fichier n°2.",
         "Recollage interrompu", 16, true, "film.avi.002.pcw", io},
        {"part 2 ends early", false, -1, 50000, -1,
         "Le fichier n°2 est plus court que prévu : il a changé pendant le recollage.",
         "Recollage interrompu", 16, true, "", ""},
        {"full disk in part 2", false, -1, -1, 50000, full, "Erreur", 16, true, "", "disque plein"},
        {"full disk at once", false, -1, -1, 0, full, "Erreur", 16, true, "", "disque plein"},
        {"read error while verifying", true, 10000, -1, -1, "Le fichier n°1 n'est pas accessible !",
         "Recollage interrompu", 48, false, "film.avi.001.pcw", io},
        // Every byte written, but the disk did not keep them: never renamed.
        {"the data never reach the disk", true, -1, -1, -1, full, "Erreur", 16, true, "", io, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string dest = std::string(c.what) + ".out";
        // A join that wrote into its output leaves it under the temporary name.
        const std::string left = dest + ".incomplet";
        std::string text =
            c.reason.empty()
                ? c.text
                : c.text + "\n\r" + dir / (c.file.empty() ? left : c.file) + " : " + c.reason;
        if (c.outputCreated) text += LeftUnder(dir / left);
        RecordingSink messages;
        RecordingDisplay display;
        NativeSet job;
        ASSERT_TRUE(OpenSet(job, Part(1), display));
        IoFaults plan;
        plan.readErrorAfter = c.readErrorAfter;
        plan.readEndAfter = c.readEndAfter;
        plan.writeErrorAfter = c.writeErrorAfter;
        plan.syncFails = c.syncFails;
        {
            ScopedIoFaults faults(plan);
            EXPECT_EQ(Join(job, c.verify, 4096, dest), Step::Failed);
        }
        ExpectFailure(messages, text, c.title, c.icon);
        EXPECT_EQ(display.closes(), 1);
        EXPECT_TRUE(Parts() == set);
        EXPECT_FALSE(platform::FileExists(dir / dest));
        EXPECT_EQ(platform::FileExists(dir / left), c.outputCreated);
        const std::string output = ReadFile(dir / left);
        EXPECT_TRUE(source.compare(0, output.size(), output) == 0);
        EXPECT_LE(static_cast<int64_t>(output.size()), plan.bytesRead.load());
    }
}

// A power cut after the join leaves the temporary file or the whole file under
// its name: the data are synced before the rename, the folder after it.
TEST_F(NativeFaultTest, AJoinMakesItsDataThenItsNameDurable) {
    ASSERT_EQ(SplitSet(), Step::Finished);
    RecordingDisplay display;
    NativeSet job;
    ASSERT_TRUE(OpenSet(job, Part(1), display));
    IoFaults plan;
    {
        ScopedIoFaults faults(plan);
        EXPECT_EQ(Join(job, true, 4096, "rebuilt"), Step::Finished);
    }
    EXPECT_EQ(plan.fileSyncs.load(), 1);
    EXPECT_EQ(plan.folderSyncs.load(), 1);
    EXPECT_TRUE(ReadFile(dir / "rebuilt") == source);
}

TEST_F(NativeFaultTest, APartThatChangesSizeDuringTheJoinNeverYieldsAWrongFile) {
    PCW_SKIP_WHERE_HELD_FILES_ARE_LOCKED();
    ASSERT_EQ(SplitSet(), Step::Finished);
    const std::string part2 = ReadFile(Part(2));
    const std::string part3 = ReadFile(Part(3));
    const std::string shorter = " est plus court que prévu : il a changé pendant le recollage.";
    // Even bytes added past what was checked make it another part than the
    // one checked: nothing says the rest of it is still the same.
    const std::string changed =
        " a été modifié ou remplacé pendant le recollage : le fichier recollé ne serait pas le "
        "fichier d'origine.";
    const struct {
        const char* what;
        int changed;
        std::string content, message;
    } cases[] = {
        {"part 3 got shorter", 3, part3.substr(0, 5000), shorter},
        {"part 2 got shorter", 2, part2.substr(0, 30000), shorter},
        {"part 2 grew", 2, part2 + "appended", changed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile(Part(2), part2);
        WriteFile(Part(3), part3);
        const std::string dest = std::string(c.what) + ".out";
        RecordingSink messages;
        RecordingDisplay display;
        NativeSet job;
        ASSERT_TRUE(OpenSet(job, Part(1), display));
        ASSERT_TRUE(job.CheckJoinParameters(dest, false, platform::ShowAfter(kOwner)));
        job.SetBufferSize(4096);
        // Held after its first buffer: every part has been measured by then.
        job.Suspend();
        job.StartJoin();
        ASSERT_TRUE(HeldAtItsFirstPause(job));
        WriteFile(Part(c.changed), c.content);
        job.Resume();
        AwaitWorker(job);

        EXPECT_EQ(job.step, Step::Failed);
        const std::string left = dir / (dest + ".incomplet");
        ExpectFailure(messages,
                      "Le fichier n°" + std::to_string(c.changed) + c.message + LeftUnder(left),
                      "Recollage interrompu", 16);
        EXPECT_FALSE(platform::FileExists(dir / dest));
        const std::string output = ReadFile(left);
        EXPECT_TRUE(source.compare(0, output.size(), output) == 0);
    }
}

TEST_F(NativeFaultTest, APausedJobCanBeDestroyed) {
    RecordingSink messages;
    RecordingDisplay display;
    auto job = std::make_unique<NativeSet>();
    PrepareSplit(*job, dir / "film.avi", dir.path(), display);
    ASSERT_TRUE(job->CheckSplitParameters("film.avi", "film.avi", false, kPart,
                                          platform::ShowAfter(kOwner)));
    job->SetBufferSize(4096);
    job->Suspend();
    job->StartSplit();
    ASSERT_TRUE(HeldAtItsFirstPause(*job));

    Destroy(job);
    EXPECT_EQ(display.closes(), 1);
    EXPECT_EQ(messages.texts(), (std::vector<std::string>{"Le fichier a été coupé avec succès !"}));
    EXPECT_EQ(ReadFile(Part(1)).size(), kHeaderSize + kPart);
}

TEST_F(NativeFaultTest, APausedJoinCanBeDestroyedAndEndsWhole) {
    ASSERT_EQ(SplitSet(), Step::Finished);
    RecordingSink messages;
    RecordingDisplay display;
    auto job = std::make_unique<NativeSet>();
    ASSERT_TRUE(OpenSet(*job, Part(1), display));
    ASSERT_TRUE(job->CheckJoinParameters("joined", true, platform::ShowAfter(kOwner)));
    job->SetBufferSize(4096);
    job->Suspend();
    job->StartJoin();
    ASSERT_TRUE(HeldAtItsFirstPause(*job));

    Destroy(job);
    EXPECT_EQ(display.closes(), 1);
    EXPECT_EQ(messages.texts(),
              (std::vector<std::string>{"Le fichier a été recoller avec succès !"}));
    EXPECT_EQ(ReadFile(dir / "joined"), source);
}

TEST_F(NativeFaultTest, ASplitWithoutAPartSizeStopsBeforeMakingParts) {
    RecordingSink messages;
    RecordingDisplay display;
    NativeSet job;
    PrepareSplit(job, dir / "film.avi", dir.path(), display);
    job.StartSplit();  // no parameter check: the part size is still 0
    AwaitWorker(job);
    EXPECT_EQ(job.step, Step::Failed);
    ExpectFailure(messages, "Taille de découpage incorrecte (Supérieure à 0).", "Erreur", 16);
    EXPECT_EQ(ListDir(dir.path()), (std::vector<std::string>{"film.avi"}));
}

// Only a first part opens a set: a copy of it under another name would have
// its parts checked while its own bytes were copied.
TEST_F(NativeFaultTest, OnlyAFirstPartNameOpensASet) {
    ASSERT_EQ(SplitSet(), Step::Finished);
    std::string copy = ReadFile(PartPath(dir.path(), "film.avi", 1));
    copy[2000] ^= 0x55;
    WriteFile(dir / "film.avi.bak.pcw", copy);
    RecordingSink messages;
    RecordingDisplay display;
    NativeSet job;
    EXPECT_FALSE(OpenSet(job, dir / "film.avi.bak.pcw", display));
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.texts()[0],
              "Ce fichier n'est pas le premier fichier d'un jeu Parcelwise (*.001.pcw).");
}

// A header announcing more parts than the original has bytes is no set; it
// must not make the open read or allocate what the header claims.
TEST_F(NativeFaultTest, MorePartsThanBytesIsCorrupt) {
    NativeHeader header;
    header.signature = "Parcelwise";
    header.version = "1.1";
    header.originalName = "x";
    header.hasDigests = 1;
    header.partCount = 2000000000;
    header.originalSize = 10;
    RecordingSink messages;
    RecordingDisplay display;
    NativeSet job;
    EXPECT_FALSE(OpenSet(job, FirstPartOf(header), display));
    EXPECT_EQ(messages.messages().back().title, "Fichier corrompu");
    EXPECT_TRUE(job.digests.empty());
}

// A header may announce any number of parts up to its size: the join looks
// for them one by one and stops at the first missing, asking for no memory
// on the header's word.
TEST_F(NativeFaultTest, AHugePartCountIsLookedForPartByPart) {
    RecordingSink messages;
    RecordingDisplay display;
    NativeSet job;
    ASSERT_TRUE(OpenSet(
        job, FirstPartOf({"Parcelwise", "1.1", 38418, "x", 0, 2000000000, int64_t{1} << 50}),
        display));
    // Room for all it announces, so that the worker is the one to look.
    FreeSpaceIs room(INT64_MAX);
    EXPECT_EQ(Join(job, false, 16384, "joined"), Step::Failed);
    // Past a thousand parts missing at its end, the count is what is wrong.
    ExpectFailure(messages,
                  "Le jeu annonce 2000000000 fichiers, mais un seul est là : ce nombre n'est pas "
                  "plausible, l'en-tête du jeu semble être corrompu.",
                  "Recollage interrompu", 48);
}

// The set records the size measured at the open; a source that changed since
// is not cut to a length it no longer has.
TEST_F(NativeFaultTest, ASourceThatChangedSinceItsOpenIsNotSplit) {
    RecordingSink messages;
    RecordingDisplay display;
    NativeSet job;
    PrepareSplit(job, dir / "film.avi", dir.path(), display);
    ASSERT_TRUE(job.CheckSplitParameters("film.avi", "film.avi", false, kPart,
                                         platform::ShowAfter(kOwner)));
    WriteFile(dir / "film.avi", source + "more");
    job.StartSplit();
    AwaitWorker(job);
    ExpectFailure(
        messages,
        "Le fichier source a changé de taille depuis son ouverture : ouvrez-le à nouveau.",
        "Erreur", 16);
    EXPECT_EQ(ListDir(dir.path()), (std::vector<std::string>{"film.avi"}));
}

// Names the user types or pastes stay in the destination folder.
TEST_F(NativeFaultTest, DestinationNamesMustBePlainFileNames) {
    ASSERT_EQ(SplitSet(), Step::Finished);
    for (const std::string name : {"../out", "a/b", "..", "x\ty"}) {
        RecordingSink messages;
        RecordingDisplay display;
        NativeSet split;
        PrepareSplit(split, dir / "film.avi", dir.path(), display);
        EXPECT_FALSE(
            split.CheckSplitParameters("film.avi", name, false, kPart, platform::ShowAfter(kOwner)))
            << name;
        NativeSet join;
        ASSERT_TRUE(OpenSet(join, PartPath(dir.path(), "film.avi", 1), display));
        EXPECT_FALSE(join.CheckJoinParameters(name, false, platform::ShowAfter(kOwner))) << name;
        ASSERT_EQ(messages.messages().size(), 2u);
        EXPECT_NE(messages.texts()[1].find("caractères interdits"), std::string::npos);
    }
}

namespace {

// Runs `action` once, on the worker, when a status or part text containing
// `cue` is written: the moment of a job at which a file is swapped under it.
class SwapOnText final : public ProgressDisplay {
public:
    SwapOnText(std::string cue, std::function<void()> action)
        : cue_(std::move(cue)), action_(std::move(action)) {}
    void SetOverallBar(int) override {}
    void SetPartBar(int) override {}
    void SetPercentText(std::string_view) override {}
    void SetStatusText(std::string_view text) override { Check(text); }
    void SetPartText(std::string_view text) override { Check(text); }
    void SetDoneText(std::string_view) override {}
    void RunClock(bool) override {}
    void ShowMessage(const platform::Message& m) override {
        platform::ShowMessages(kProgress, {m});
    }
    void CloseAfterJob() override {}
    bool fired() const { return fired_; }

private:
    void Check(std::string_view text) {
        if (!fired_ && text.find(cue_) != std::string_view::npos) {
            fired_ = true;
            action_();
        }
    }
    std::string cue_;
    std::function<void()> action_;
    bool fired_ = false;
};

}  // namespace

// A part that the split made and will write or hash again is replaced, by a
// link to a file outside the folder or by another file: the split never writes
// into the stranger, never takes it for its part, and does not call it a success.
TEST_F(NativeFaultTest, ASplitNeverWritesThroughAPartSwappedUnderIt) {
    PCW_SKIP_WHERE_HELD_FILES_ARE_LOCKED();
    const struct {
        const char* what;
        int part;
        const char* cue;  // when the part is swapped
        bool link;
        std::string text;
    } cases[] = {
        {"part 1 for a link, before the header", 1, ".002.pcw", true,
         "Le fichier *.001.pcw est introuvable."},
        {"part 1 for another file, before the header", 1, ".002.pcw", false,
         "Le fichier *.001.pcw est introuvable."},
        {"the last part for a link, before the digests", 3, "Création des Hash MD5", true,
         "Impossible de lire le fichier *.003.pcw pour calculer son Hash MD5."},
        {"a middle part for a link, before its digest", 2, "Création des Hash MD5", true,
         "Impossible de lire le fichier *.002.pcw pour calculer son Hash MD5."},
        {"a middle part for another file, before its digest", 2, "Création des Hash MD5", false,
         "Impossible de lire le fichier *.002.pcw pour calculer son Hash MD5."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.link && !kHasLinks) continue;
        TempDir scratch, elsewhere;
        WriteFile(scratch / "film.avi", source);
        const std::string victim = elsewhere / "victim";
        const std::string kept(300, 'v');
        WriteFile(victim, kept);
        const std::string part = PartPath(scratch.path(), "film.avi", c.part);
        SwapOnText display(c.cue, [&] {
            ASSERT_TRUE(platform::RenameNoReplace(part, elsewhere / "moved"));
            if (c.link)
                ASSERT_TRUE(MakeSymlink(victim, part));
            else
                WriteFile(part, ReadFile(elsewhere / "moved"));
        });
        RecordingSink messages;
        EXPECT_EQ(Split(scratch / "film.avi", scratch.path(), kPart, 16384, true, display),
                  Step::Failed);
        EXPECT_TRUE(display.fired());
        EXPECT_TRUE(ReadFile(victim) == kept);
        ASSERT_FALSE(messages.messages().empty());
        EXPECT_EQ(messages.messages()[0].text.substr(0, c.text.size()), c.text);
        EXPECT_EQ(messages.messages().back().text, kStopped);
    }
}
