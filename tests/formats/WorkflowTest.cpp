// The steps every front end takes: what each refuses, what it says and what
// it leaves in the job.
#include <gtest/gtest.h>

#include <filesystem>

#include "ForeignJobs.h"
#include "NativeJobs.h"
#include "formats/Workflow.h"
#include "formats/plain/PlainSet.h"

using namespace nativetest;

namespace {

constexpr int64_t kMo = 1048576;
constexpr char kIntro[] = "Une ou plusieurs informations sont incorrectes : \n\r";

class WorkflowTest : public NativeSetTest {
protected:
    void Folder(const std::string& name) { std::filesystem::create_directory(dir / name); }
};

// A folder where the job would create its file stops it as surely as a file,
// but it is said to be a folder, under its own path.
TEST_F(WorkflowTest, AFolderInTheWayIsRefusedAsAFolder) {
    Source(3 * 20000);
    Folder("film.avi.001.pcw");
    RecordingDisplay display;
    {
        RecordingSink checks;
        NativeSet job;
        PrepareSplit(job, dir / "film.avi", dir.path(), display);
        EXPECT_FALSE(job.CheckSplitParameters("film.avi", "film.avi", false, 20000,
                                              platform::ShowAfter(kOwner)));
        ASSERT_EQ(checks.messages().size(), 1u);
        EXPECT_EQ(checks.messages()[0].text,
                  kIntro +
                      std::string("\n\r- Un dossier porte déjà le nom du fichier de "
                                  "destination :\n\r\n\r") +
                      dir.path() + "film.avi.001.pcw");
    }
    std::filesystem::remove(dir / "film.avi.001.pcw");
    ASSERT_EQ(Split(dir / "film.avi", dir.path(), 20000), Step::Finished);

    Folder("joined");
    const std::string folderLine =
        "\n\r- Un dossier porte déjà le nom du fichier de destination :\n\r\n\r" + dir / "joined";
    RecordingSink checks;
    NativeSet native;
    ASSERT_TRUE(OpenSet(native, Part(1), display));
    EXPECT_FALSE(native.CheckJoinParameters("joined", false, platform::ShowAfter(kOwner)));

    const auto parts = foreigntest::Numbered("clip.mpg.", 1, 2, 3, 100);
    foreigntest::WriteParts(dir.path(), parts);
    auto foreign = foreigntest::MakeJob("generic");
    ASSERT_TRUE(foreigntest::Open(*foreign, dir / parts[0].name, display));
    EXPECT_FALSE(foreign->CheckJoinParameters("joined", false, platform::ShowAfter(kOwner)));

    ASSERT_EQ(checks.messages().size(), 2u);
    EXPECT_EQ(checks.messages()[0].text, kIntro + folderLine);
    EXPECT_EQ(checks.messages()[1].text, kIntro + folderLine);
    EXPECT_EQ(ListDir(dir / "joined"), std::vector<std::string>{});
}

TEST_F(WorkflowTest, TheNameEditorTellsAFileFromAFolder) {
    Source(100);
    NativeSet job;
    job.choices.folder = dir.path();
    WriteFile(dir / "file.001.pcw", "x");
    Folder("folder.001.pcw");
    Folder("plain");
    using workflow::Direction;
    EXPECT_EQ(workflow::NameTakenText(job, Direction::Split, "file"),
              "Le fichier < file > existe déjà !");
    EXPECT_EQ(workflow::NameTakenText(job, Direction::Split, "folder"),
              "Un dossier < folder.001.pcw > existe déjà !");
    // A split writes parts: a folder under the bare name is in nobody's way.
    EXPECT_EQ(workflow::NameTakenText(job, Direction::Split, "plain"), std::nullopt);
    EXPECT_EQ(workflow::NameTakenText(job, Direction::Join, "plain"),
              "Un dossier < plain > existe déjà !");
    EXPECT_EQ(workflow::NameTakenText(job, Direction::Join, "film.avi"),
              "Le fichier < film.avi > existe déjà !");
    EXPECT_EQ(workflow::NameTakenText(job, Direction::Join, "free"), std::nullopt);

    // A plain set's first part is NAME.001.
    PlainSet plain;
    plain.choices.folder = dir.path();
    WriteFile(dir / "other.001", "x");
    EXPECT_EQ(workflow::NameTakenText(plain, Direction::Split, "other"),
              "Le fichier < other > existe déjà !");
    EXPECT_EQ(workflow::NameTakenText(plain, Direction::Split, "file"), std::nullopt);
}

TEST_F(WorkflowTest, OnlyARegularFileOfMoreThanOneMoOpensToSplit) {
    WriteFile(dir / "one.bin", std::string(kMo, 'a'));
    WriteFile(dir / "more.bin", std::string(kMo + 1, 'b'));
    const struct {
        std::string path, text;
    } refused[] = {
        {dir / "one.bin", "Le fichier sélectionné à une taille inférieure à 1 Mo."},
        {dir / "absent.bin", "Impossible d'ouvrir le fichier !\n\r" + dir / "absent.bin" +
                                 " : fichier ou dossier introuvable"},
        {dir.path(), "Impossible d'ouvrir le fichier !\n\r" + dir.path() + " : c'est un dossier"},
    };
    NativeSet job;
    for (const auto& c : refused) {
        SCOPED_TRACE(c.path);
        ASSERT_TRUE(workflow::OpenFileToSplit(job, dir / "more.bin", platform::ShowAfter(kOwner)));
        RecordingSink messages;
        // A refusal leaves no source behind, not even the last one.
        EXPECT_FALSE(workflow::OpenFileToSplit(job, c.path, platform::ShowAfter(kOwner)));
        EXPECT_FALSE(job.opened);
        ASSERT_EQ(messages.messages().size(), 1u);
        EXPECT_EQ(messages.messages()[0].text, c.text);
        EXPECT_EQ(messages.messages()[0].owner, kOwner);
    }
    ASSERT_TRUE(workflow::OpenFileToSplit(job, dir / "more.bin", platform::ShowAfter(kOwner)));
    EXPECT_EQ(job.sourceSize, kMo + 1);
    EXPECT_EQ(job.choices.fileName, "more.bin");
    EXPECT_EQ(job.choices.folder, dir.path());
}

TEST_F(WorkflowTest, AChosenSetIsUnopenableRefusedOrOpened) {
    Source(3 * 20000);
    ASSERT_EQ(Split(dir / "film.avi", dir.path(), 20000), Step::Finished);
    WriteFile(dir / "junk.001.pcw", std::string(200, 'j'));
    using workflow::Opening;
    RecordingSink messages;
    NativeSet job;
    EXPECT_EQ(workflow::OpenChosenSet(job, dir / "absent.001.pcw", platform::ShowAfter(kOwner)),
              Opening::Unopenable);
    EXPECT_EQ(workflow::OpenChosenSet(job, dir.path(), platform::ShowAfter(kOwner)),
              Opening::Unopenable);
    EXPECT_EQ(messages.messages().size(), 2u);
    EXPECT_EQ(workflow::OpenChosenSet(job, dir / "junk.001.pcw", platform::ShowAfter(kOwner)),
              Opening::Refused);
    EXPECT_EQ(messages.messages().size(), 3u);
    EXPECT_FALSE(job.opened);
    EXPECT_EQ(job.sourcePath, "");
    EXPECT_EQ(workflow::OpenChosenSet(job, Part(1), platform::ShowAfter(kOwner)), Opening::Opened);
    EXPECT_EQ(messages.messages().size(), 3u);
    EXPECT_EQ(job.choices.fileName, "film.avi");
    EXPECT_EQ(job.RebuiltSize(), 3 * 20000);
}

// Wanting room says so alone; refused choices are followed by the
// cancellation; accepted ones take the buffer size.
TEST_F(WorkflowTest, TheChecksSayWhyARunDoesNotStart) {
    Source(3 * 20000);
    RecordingDisplay display;
    NativeSet job;
    PrepareSplit(job, dir / "film.avi", dir.path(), display);
    const workflow::SplitChoice choice{"film.avi", "film.avi", true, 20000, 4096};
    {
        RecordingSink messages;
        FreeSpaceIs full(3 * 20000);
        EXPECT_FALSE(workflow::CheckSplit(job, choice, platform::ShowAfter(kOwner)));
        ASSERT_EQ(messages.messages().size(), 1u);
        EXPECT_EQ(messages.messages()[0].text.rfind("Il n'y a pas assez d'espace", 0), 0u);
    }
    {
        RecordingSink messages;
        workflow::SplitChoice whole = choice;
        whole.partSize = 3 * 20000;
        EXPECT_FALSE(workflow::CheckSplit(job, whole, platform::ShowAfter(kOwner)));
        ASSERT_EQ(messages.messages().size(), 2u);
        EXPECT_EQ(messages.messages()[1].text, "Le découpage a été annulé.");
        EXPECT_EQ(messages.messages()[1].owner, kOwner);
    }
    ASSERT_TRUE(workflow::CheckSplit(job, choice, platform::ShowAfter(kOwner)));
    EXPECT_EQ(job.choices.bufferSize, 4096u);
    workflow::Start(job, workflow::Direction::Split);
    AwaitWorker(job);
    ASSERT_EQ(job.step, Step::Finished);

    RecordingSink messages;
    NativeSet set;
    ASSERT_TRUE(OpenSet(set, Part(1), display));
    EXPECT_FALSE(workflow::CheckJoin(set, "film.avi", true, 4096, platform::ShowAfter(kOwner)));
    ASSERT_EQ(messages.messages().size(), 2u);
    EXPECT_EQ(messages.messages()[1].text, "Le recollage a été annulé.");
    {
        FreeSpaceIs full(3 * 20000);
        EXPECT_FALSE(workflow::CheckJoin(set, "joined", true, 4096, platform::ShowAfter(kOwner)));
        EXPECT_EQ(messages.messages().size(), 3u);
    }
    EXPECT_TRUE(workflow::CheckJoin(set, "joined", true, 8192, platform::ShowAfter(kOwner)));
    EXPECT_EQ(set.choices.bufferSize, 8192u);
    EXPECT_TRUE(set.choices.verifyHash);
}

}  // namespace

TEST(Workflow, AChosenFolderEndsWithTheSystemsSeparator) {
    TempDir dir;
    RecordingSink sink;
    NativeSet job;
    std::string bare = dir.path();
    bare.pop_back();
    EXPECT_TRUE(workflow::UseFolder(job, bare, platform::ShowAfter(kOwner)));
    EXPECT_EQ(job.choices.folder, dir.path());
    // A folder that already ends with the separator, the root included, keeps
    // one: the system's own, which on Windows is not the "/" it also reads.
    EXPECT_TRUE(workflow::UseFolder(job, "/", platform::ShowAfter(kOwner)));
    EXPECT_EQ(job.choices.folder, std::string(1, platform::kSeparator));
    EXPECT_TRUE(workflow::UseFolder(job, dir.path(), platform::ShowAfter(kOwner)));
    EXPECT_EQ(job.choices.folder, dir.path());
    EXPECT_TRUE(sink.messages().empty());
}
