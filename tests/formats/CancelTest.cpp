// Jobs that are cancelled, and sets that a split left unfinished: a cancel takes
// back what the job made in this run and nothing else, and the joiner says
// when a set looks interrupted.
#include <gtest/gtest.h>

#include <filesystem>

#include "ForeignJobs.h"
#include "NativeJobs.h"
#include "core/JoinOutput.h"

using namespace nativetest;

namespace {

constexpr int32_t kPart = 100000;

class CancelTest : public NativeSetTest {
protected:
    // Starts the job held at its first pause, cancels it there, waits for its end.
    template <class AnyJob>
    void CancelAtFirstPause(AnyJob& job, bool joining) {
        job.SetBufferSize(4096);
        job.Suspend();
        joining ? job.StartJoin() : job.StartSplit();
        ASSERT_TRUE(HeldAtItsFirstPause(job));
        job.Cancel();
        AwaitWorker(job);
    }
    void ExpectCancelled(const Job& job, const RecordingDisplay& display,
                         const RecordingSink& messages) {
        EXPECT_EQ(job.step, Step::Cancelled);
        const auto m = messages.messages();
        ASSERT_EQ(m.size(), 1u);
        EXPECT_EQ(m[0].text, kCancelled);
        EXPECT_EQ(m[0].title, "-=Parcelwise=-");
        EXPECT_EQ(m[0].icon, 48);
        EXPECT_EQ(display.closes(), 1);
        // A cancelled job never shows the end of a success.
        for (const std::string& p : display.valuesOf("lblPourcentage")) EXPECT_NE(p, "100%");
    }
};

}  // namespace

TEST_F(CancelTest, ACancelledSplitRemovesThePartsItMadeAndNothingElse) {
    for (bool digests : {false, true}) {
        SCOPED_TRACE(digests ? "with digests" : "without digests");
        TempDir out;
        Source(5 * kPart + 10);
        // Files of the same folder that the split has nothing to do with.
        WriteFile(out / "film.avi.txt", "notes");
        WriteFile(out / "film.avi.007.pcw", "an older part of another set");
        const auto before = Snapshot(out.path());
        RecordingSink messages;
        RecordingDisplay display;
        NativeSet job;
        PrepareSplit(job, dir / "film.avi", out.path(), display);
        ASSERT_TRUE(job.CheckSplitParameters("film.avi", "film.avi", digests, kPart,
                                             platform::ShowAfter(kOwner)));
        CancelAtFirstPause(job, false);
        ExpectCancelled(job, display, messages);
        EXPECT_TRUE(Snapshot(out.path()) == before);
    }
}

TEST_F(CancelTest, ASplitCancelledWhileHashingRemovesEveryPart) {
    Source(3 * kPart);
    RecordingDisplay opened;
    NativeSet job;
    PrepareSplit(job, dir / "film.avi", dir.path(), opened);
    ASSERT_TRUE(
        job.CheckSplitParameters("film.avi", "film.avi", true, kPart, platform::ShowAfter(kOwner)));
    // The first part shown is always the first: the others may be passed over.
    HookDisplay display("Hash MD5 du fichier n° 1", [&] { job.Cancel(); });
    job.display = &display;
    job.StartSplit();
    AwaitWorker(job);
    EXPECT_TRUE(display.Acted());
    EXPECT_EQ(job.step, Step::Cancelled);
    EXPECT_TRUE(Parts().empty());
    EXPECT_EQ(sink.texts(), std::vector<std::string>{kCancelled});
}

TEST_F(CancelTest, ACancelledJoinRemovesItsOutputWhetherCopyingOrChecking) {
    Source(4 * kPart + 5);
    ASSERT_EQ(Split(dir / "film.avi", dir.path(), kPart, 16384, true), Step::Finished);
    const auto set = Parts();
    // A file under the first temporary name is someone else's: it stays.
    WriteFile(dir / "joined.incomplet", "not ours");
    for (bool verify : {false, true}) {
        SCOPED_TRACE(verify ? "held while checking digests" : "held while copying");
        RecordingSink messages;
        RecordingDisplay display;
        NativeSet job;
        ASSERT_TRUE(OpenSet(job, Part(1), display));
        ASSERT_TRUE(job.CheckJoinParameters("joined", verify, platform::ShowAfter(kOwner)));
        CancelAtFirstPause(job, true);
        ExpectCancelled(job, display, messages);
        EXPECT_TRUE(job.leftBehind.empty());
        EXPECT_FALSE(platform::FileExists(dir / "joined"));
        EXPECT_FALSE(platform::FileExists(dir / "joined.2.incomplet"));
        EXPECT_EQ(ReadFile(dir / "joined.incomplet"), "not ours");
        EXPECT_TRUE(Parts() == set);
    }
}

TEST_F(CancelTest, ACancelledForeignJoinRemovesItsOutput) {
    using namespace foreigntest;
    WriteParts(dir.path(), Numbered("movie.avi.", 1, 3, 3, 3 * kPart));
    const auto before = Snapshot(dir.path());
    RecordingDisplay display;
    auto job = foreigntest::MakeJob("generic");
    ASSERT_TRUE(Open(*job, dir / "movie.avi.001", display));
    ASSERT_TRUE(job->CheckJoinParameters("movie.avi", false, platform::ShowAfter(kOwner)));
    CancelAtFirstPause(*job, true);
    ExpectCancelled(*job, display, sink);
    EXPECT_TRUE(Snapshot(dir.path()) == before);
}

TEST_F(CancelTest, AJoinGivesItsOutputItsNameOnlyOnceWholeAndNeverOverAFile) {
    Source(3 * kPart);
    ASSERT_EQ(Split(dir / "film.avi", dir.path(), kPart), Step::Finished);
    NativeSet job;
    RecordingDisplay opened;
    ASSERT_TRUE(OpenSet(job, Part(1), opened));
    // Until the last byte the output is only ever under its temporary name.
    bool finalSeen = false;
    HookDisplay display("Recollage du fichier n° 3", [&] {
        finalSeen = platform::FileExists(dir / "joined");
        EXPECT_TRUE(platform::FileExists(dir / "joined.incomplet"));
    });
    job.display = &display;
    ASSERT_EQ(Join(job, false, 16384, "joined"), Step::Finished);
    EXPECT_TRUE(display.Acted());
    EXPECT_FALSE(finalSeen);
    EXPECT_TRUE(ReadFile(dir / "joined") == source);
    EXPECT_FALSE(platform::FileExists(dir / "joined.incomplet"));

    // A file that takes the final name during the join is never replaced.
    std::filesystem::remove(dir / "joined");
    ASSERT_TRUE(OpenSet(job, Part(1), opened));
    RecordingSink messages;
    HookDisplay taker("Recollage du fichier n° 2",
                      [&] { WriteFile(dir / "joined", "written by someone else"); });
    job.display = &taker;
    ASSERT_EQ(Join(job, false, 16384, "joined"), Step::Failed);
    EXPECT_EQ(ReadFile(dir / "joined"), "written by someone else");
    EXPECT_TRUE(ReadFile(dir / "joined.incomplet") == source);
    EXPECT_EQ(job.leftBehind, std::vector<std::string>{dir / "joined.incomplet"});
    // The file is whole: it says so, and why it kept its temporary name.
    ExpectFailure(messages,
                  "Le fichier de destination existe déjà :\n\r\n\r" + dir / "joined" +
                      "\n\r\n\rLe fichier recollé est complet, mais il a gardé son nom "
                      "temporaire :\n\r" +
                      dir / "joined.incomplet",
                  "Erreur", 48);
}

TEST_F(CancelTest, SetsThatASplitLeftUnfinishedSaySo) {
    Source(3 * kPart);
    ASSERT_EQ(Split(dir / "film.avi", dir.path(), kPart, 16384, true), Step::Finished);
    const auto set = Parts();
    const std::string sizes =
        "La taille des fichiers ne correspond pas à celle du fichier d'origine : le jeu de "
        "fichiers est incomplet ou corrompu.";
    // Stopped while hashing: every part is there, but not the digests.
    std::filesystem::resize_file(Part(3), kPart);
    for (bool verify : {true, false}) {
        RecordingSink messages;
        EXPECT_EQ(Join(Part(1), "joined", verify), Step::Failed);
        ExpectFailure(messages, sizes + kInterrupted, "Recollage interrompu", 48);
    }
    // A part damaged otherwise is not called interrupted.
    std::filesystem::resize_file(Part(3), kPart - 1);
    RecordingSink messages;
    EXPECT_EQ(Join(Part(1), "joined", false), Step::Failed);
    ExpectFailure(messages,
                  sizes + "\n\r\n\rLe fichier n°3 est trop court (" + std::to_string(kPart - 97) +
                      " octets de données au lieu de " + std::to_string(kPart) + ").",
                  "Recollage interrompu", 48);
    EXPECT_FALSE(platform::FileExists(dir / "joined"));
}

TEST(JoinOutput, TakesTheFirstFreeTemporaryNameAndNeverReplacesAFile) {
    TempDir dir;
    const std::string final = dir / "film.avi";
    WriteFile(final + ".incomplet", "1");
    WriteFile(final + ".2.incomplet", "2");
    JoinOutput output = JoinOutput::Create(final);
    ASSERT_TRUE(output.IsOpen());
    EXPECT_EQ(output.TempPath(), final + ".3.incomplet");
    ASSERT_TRUE(output.File().Write("data", 4).ok());
    int error = 0;
    ASSERT_TRUE(output.Finish(error));
    EXPECT_EQ(ReadFile(final), "data");
    EXPECT_EQ(ReadFile(final + ".incomplet"), "1");
    EXPECT_EQ(ReadFile(final + ".2.incomplet"), "2");

    // A discard takes back only its own file, not one put under its name since
    // (where a file held open can be removed at all).
    if (kHeldFilesCanChange) {
        JoinOutput other = JoinOutput::Create(dir / "other");
        ASSERT_TRUE(other.IsOpen());
        std::filesystem::remove(other.TempPath());
        WriteFile(other.TempPath(), "someone else's");
        other.Discard();
        EXPECT_EQ(ReadFile(dir / "other.incomplet"), "someone else's");
    }

    // A name too long for its ending keeps the start that fits, whole characters only.
    std::string accented;
    for (int i = 0; i < 125; ++i) accented += "é";  // 250 bytes
    const struct {
        std::string name;
        int attempt;
        std::string temporary;
    } names[] = {
        {"film.avi", 1, "film.avi.incomplet"},
        {"film.avi", 12, "film.avi.12.incomplet"},
        {std::string(245, 'n'), 1, std::string(245, 'n') + ".incomplet"},
        {std::string(246, 'n'), 1, std::string(245, 'n') + ".incomplet"},
        {std::string(255, 'n'), 3, std::string(243, 'n') + ".3.incomplet"},
        {accented, 1, accented.substr(0, 244) + ".incomplet"},
    };
    for (const auto& n : names)
        EXPECT_EQ(IncompleteName("/d/" + n.name, n.attempt, 255), "/d/" + n.temporary);

    // A folder that refuses files refuses the first try: no further ones.
    JoinOutput refused = JoinOutput::Create(dir / "absent/x");
    EXPECT_FALSE(refused.IsOpen());
    EXPECT_EQ(refused.OpenError(), ENOENT);
}
