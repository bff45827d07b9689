// Failures that the system itself causes, made for real where the kernel lets
// a test do it: every message names the file and the system's reason on a
// line of its own, and never guesses at a cause that is not the one.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#ifndef _WIN32
#include <sys/mount.h>
#endif

#include "NativeJobs.h"
#include "platform/Errors.h"
#include "platform/File.h"
#include "platform/Reasons.h"

using namespace nativetest;

namespace {

constexpr char kCreateFailed[] =
    "Une erreur est survenue pendant la création du fichier de destination : \n\r\n\r"
    "    - Le fichier de destination existe déjà.\n\r"
    "    - Le dossier de destination est en lecture seule.";

// A tmpfs mounted on a fresh folder for the test's scope; `mounted` is false,
// with the reason printed, where mounting is not permitted (and always on
// Windows, which has no tmpfs).
class ScratchMount {
public:
    explicit ScratchMount(const std::string& options) : folder_(dir_ / "mnt/") {
        std::filesystem::create_directory(folder_);
#ifndef _WIN32
        mounted_ = ::mount("tmpfs", folder_.c_str(), "tmpfs", 0, options.c_str()) == 0;
        if (!mounted_)
            std::printf("no tmpfs mount here: %s\n", platform::ErrorReason(errno).c_str());
#else
        (void)options;
#endif
    }
    ~ScratchMount() {
#ifndef _WIN32
        if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
#endif
    }
    bool mounted() const {
        return mounted_;
    }
    const std::string& folder() const {
        return folder_;
    }
    // Makes the mounted file system read-only.
    bool MakeReadOnly() {
#ifdef _WIN32
        return false;
#else
        return ::mount(nullptr, folder_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
#endif
    }

private:
    TempDir dir_;
    std::string folder_;
    bool mounted_ = false;
};

class SystemReasonsTest : public NativeSetTest {
protected:
    // Splits film.avi (300000 bytes) into parts of 100000 bytes in `folder`.
    Step SplitInto(const std::string& folder, bool digests = false) {
        RecordingDisplay display;
        NativeSet job;
        PrepareSplit(job, dir / "film.avi", folder, display);
        if (!job.CheckSplitParameters("film.avi", "film.avi", digests, 100000,
                                      platform::ShowAfter(kOwner)))
            return Step::Failed;
        job.StartSplit();
        AwaitWorker(job);
        return job.step;
    }
    void SetUp() override { Source(300000); }
};

}  // namespace

TEST(ErrorReason, SaysWhatTheSystemSaidInFrench) {
    EXPECT_EQ(platform::ErrorReason(EACCES), "permission refusée");
    EXPECT_EQ(platform::ErrorReason(EPERM), "permission refusée");
    EXPECT_EQ(platform::ErrorReason(ENOSPC), "disque plein");
    EXPECT_EQ(platform::ErrorReason(EDQUOT), "disque plein");
    EXPECT_EQ(platform::ErrorReason(ENAMETOOLONG), "nom trop long");
    EXPECT_EQ(platform::ErrorReason(EROFS), "système de fichiers en lecture seule");
    EXPECT_EQ(platform::ErrorReason(EBUSY), "fichier utilisé par une autre opération");
    EXPECT_EQ(platform::ErrorReason(EWOULDBLOCK), "fichier utilisé par une autre opération");
    EXPECT_EQ(platform::ErrorReason(ENOENT), "fichier ou dossier introuvable");
    EXPECT_EQ(platform::ErrorReason(EISDIR), "c'est un dossier");
    EXPECT_EQ(platform::ErrorReason(EIO), "erreur d'entrée-sortie du disque");
    EXPECT_EQ(platform::ErrorReason(12345), "erreur système n° 12345");
}

TEST(CreationFailure, KeepsTheListedCausesOnlyWhenTheyAreTheCause) {
    for (int listed : {EEXIST, EROFS, EACCES, EPERM})
        EXPECT_EQ(platform::CreationFailure(kCreateFailed, "/d/x", listed),
                  kCreateFailed + platform::ReasonLine("/d/x", listed));
    EXPECT_EQ(platform::CreationFailure(kCreateFailed, "/d/x", ENOSPC),
              "Une erreur est survenue pendant la création du fichier de destination.\n\r/d/x : "
              "disque plein");
}

TEST_F(SystemReasonsTest, ASourceHeldByAnotherJobIsNamedAsSuch) {
    // A writer holds it alone; a reader would share it with the split.
    platform::File held = platform::File::OpenWrite(dir / "film.avi");
    ASSERT_TRUE(held.IsOpen());
    EXPECT_EQ(SplitInto(dir.path()), Step::Failed);
    ExpectFailure(sink,
                  "Le fichier source n'est pas accessible !\n\r" + dir / "film.avi" +
                      " : fichier utilisé par une autre opération",
                  "Erreur", 16);
}

TEST_F(SystemReasonsTest, ACreationThatFailsForAnotherCauseListsNoWrongOne) {
    WriteFile(dir / "file", "x");
    EXPECT_EQ(SplitInto(dir / "file/"), Step::Failed);
    ExpectFailure(sink,
                  "Une erreur est survenue pendant la création du fichier de destination.\n\r" +
                      dir / "file/film.avi.001.pcw" +
                      " : un élément du chemin n'est pas un dossier",
                  "Erreur", 16);
}

TEST_F(SystemReasonsTest, PartNamesLongerThanTheFileSystemAllowsAreRefusedByTheCheck) {
    const size_t most = platform::MaxFileNameBytes(dir.path());
    // The name itself fits; with ".001.pcw" the part names do not.
    const std::string name(most - 4, 'n');
    RecordingDisplay display;
    NativeSet job;
    PrepareSplit(job, dir / "film.avi", dir.path(), display);
    EXPECT_FALSE(
        job.CheckSplitParameters("film.avi", name, false, 100000, platform::ShowAfter(kOwner)));
    ASSERT_EQ(sink.texts().size(), 1u);
    EXPECT_EQ(sink.texts()[0],
              "Une ou plusieurs informations sont incorrectes : \n\r\n\r- Nom du fichier de "
              "Destination trop long pour le système de fichiers (" +
                  std::to_string(most) + " octets au plus par nom de fichier).");
    // Part names that just fit are accepted.
    EXPECT_TRUE(job.CheckSplitParameters("film.avi", std::string(most - 8, 'n'), false, 100000,
                                         platform::ShowAfter(kOwner)));
}

TEST_F(SystemReasonsTest, AFullDiskIsNamedWithThePartBeingWritten) {
    ScratchMount disk("size=160k");
    if (!disk.mounted()) GTEST_SKIP() << "mounting a tmpfs is not permitted here";
    EXPECT_EQ(SplitInto(disk.folder()), Step::Failed);
    ExpectFailure(sink,
                  "Erreur d'écriture dans le fichier *.002.pcw.\n\r" + disk.folder() +
                      "film.avi.002.pcw : disque plein",
                  "Erreur", 16);
}

TEST_F(SystemReasonsTest, AReadOnlyFolderIsNamedAsSuch) {
    ScratchMount disk("size=1m");
    if (!disk.mounted()) GTEST_SKIP() << "mounting a tmpfs is not permitted here";
    ASSERT_TRUE(disk.MakeReadOnly());
    EXPECT_EQ(SplitInto(disk.folder()), Step::Failed);
    ExpectFailure(sink,
                  kCreateFailed + ("\n\r" + disk.folder()) +
                      "film.avi.001.pcw : système de fichiers en lecture seule",
                  "Erreur", 16);
}

TEST_F(SystemReasonsTest, AJoinedNameLongerThanTheFileSystemAllowsIsRefusedByTheCheck) {
    ASSERT_EQ(SplitInto(dir.path()), Step::Finished);
    const size_t most = platform::MaxFileNameBytes(dir.path());
    std::string name;  // 200 characters, 400 bytes
    for (int i = 0; i < 200; ++i) name += "é";
    ASSERT_GT(name.size(), most);
    RecordingDisplay display;
    NativeSet job;
    ASSERT_TRUE(OpenSet(job, Part(1), display));
    EXPECT_FALSE(job.CheckJoinParameters(name, false, platform::ShowAfter(kOwner)));
    EXPECT_EQ(sink.texts().back(),
              "Une ou plusieurs informations sont incorrectes : \n\r\n\r- Nom du fichier de "
              "Destination trop long pour le système de fichiers (" +
                  std::to_string(most) + " octets au plus par nom de fichier).");
}

TEST_F(SystemReasonsTest, AJoinOnAFullOrReadOnlyDiskSaysSo) {
    ASSERT_EQ(SplitInto(dir.path()), Step::Finished);
    // Joins the set into `folder`; the messages of the run.
    auto joinInto = [&](const std::string& folder) {
        RecordingSink messages;
        RecordingDisplay display;
        NativeSet job;
        EXPECT_TRUE(OpenSet(job, Part(1), display));
        job.choices.folder = folder;
        EXPECT_EQ(Join(job, false), Step::Failed);
        return messages.messages();
    };
    {
        ScratchMount disk("size=160k");
        if (!disk.mounted()) GTEST_SKIP() << "mounting a tmpfs is not permitted here";
        // The disk claims the room that the check asks for and fills up on the way.
        FreeSpaceIs claimed(INT64_MAX);
        const auto m = joinInto(disk.folder());
        ASSERT_EQ(m.size(), 2u);
        // The partial output stays under its temporary name, which the message gives.
        const std::string left = disk.folder() + "film.avi.incomplet";
        EXPECT_EQ(m[0].text, "Erreur d'écriture dans le fichier de destination.\n\r" + left +
                                 " : disque plein" + LeftUnder(left));
        EXPECT_FALSE(platform::FileExists(disk.folder() + "film.avi"));
    }
    ScratchMount disk("size=1m");
    ASSERT_TRUE(disk.mounted());
    ASSERT_TRUE(disk.MakeReadOnly());
    const auto m = joinInto(disk.folder());
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[0].text, kCreateFailed + ("\n\r" + disk.folder()) +
                             "film.avi : système de fichiers en lecture seule");
    EXPECT_EQ(m[1].text, kStopped);
}
