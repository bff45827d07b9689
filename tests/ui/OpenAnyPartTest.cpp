// Parts of any kind reaching the main window: from the command line, from the
// open dialog's first entry and dropped on the window, delivered through it.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <filesystem>

#include "GuiTest.h"
#include "core/DisplayNumbers.h"
#include "ui/JobFactory.h"

using namespace testsupport;

namespace {

constexpr int64_t kMo = 1048576;

// A plain numbered set, as many tools write it: movie.avi.001, .002... The
// first bytes never read as the part count of a Cutkiller set.
std::string PlainSet(const std::string& folder, const std::string& name, int parts) {
    std::string original = RandomBytes(static_cast<size_t>(parts) * kMo - 77, 40);
    original[5] = 'x';
    for (int k = 0; k < parts; ++k) {
        std::string number = std::to_string(k + 1);
        number.insert(0, 3 - number.size(), '0');
        WriteFile(folder + name + "." + number,
                  original.substr(static_cast<size_t>(k) * kMo, static_cast<size_t>(kMo)));
    }
    return original;
}

class OpenAnyPart : public GuiTest {
protected:
    // Drags the files over the window's centre and lets go, as the system
    // does: the window finds the widget that takes them. False when the
    // window refused the drag.
    bool Drop(const std::vector<std::string>& paths) {
        QMimeData data;
        QList<QUrl> urls;
        for (const std::string& path : paths)
            urls << QUrl::fromLocalFile(QString::fromStdString(path));
        data.setUrls(urls);
        QWindow* window = main->windowHandle();
        const QPoint at = main->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window, &enter);
        if (!enter.isAccepted()) {
            QDragLeaveEvent leave;
            QApplication::sendEvent(window, &leave);
            return false;
        }
        QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window, &move);
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window, &drop);
        // The window opens the file once the drag has ended.
        QApplication::processEvents();
        return drop.isAccepted();
    }
};

TEST_F(OpenAnyPart, ADroppedPartOpensItsSetInJoinModeAndAnyOtherFileToSplit) {
    const std::string original = PlainSet(work.path(), "movie.avi", 3);
    ASSERT_EQ(main->mode, workflow::Direction::Split);
    ASSERT_TRUE(Drop({work / "movie.avi.001"}));
    EXPECT_EQ(main->mode, workflow::Direction::Join);
    EXPECT_TRUE(Find<QRadioButton>("rbJoindre")->isChecked());
    ASSERT_NE(main->job, nullptr);
    EXPECT_TRUE(main->job->opened);
    EXPECT_EQ(main->job->formatKind, FormatKind::Numbered);
    EXPECT_EQ(Text("lblFichier"), "movie.avi.001");
    EXPECT_EQ(Text("lblDest"), "movie.avi");
    EXPECT_EQ(Text("lblTaille").toStdString(), FormatSize(static_cast<int64_t>(original.size())));
    Click("lblAction");
    EXPECT_EQ(Texts().back(), "Le fichier a été recoller avec succès !");
    EXPECT_EQ(ReadFile(work / "movie.avi"), original);

    // The rebuilt file is no part of a set: it becomes the source of a split.
    ASSERT_TRUE(Drop({work / "movie.avi"}));
    EXPECT_EQ(main->mode, workflow::Direction::Split);
    EXPECT_TRUE(main->job->opened);
    EXPECT_EQ(Text("lblFichier"), "movie.avi");
    EXPECT_EQ(Text("lblDest"), "movie.avi");
    EXPECT_EQ(Text("lblDossier").toStdString(), work.path());
    EXPECT_EQ(Text("lblAction"), "COUPER");

    // A later part of a native set stands for its set.
    SplitInto(work.path(), "x.bin", 2 * kMo + 3, 8, true);
    ASSERT_TRUE(Drop({work / "x.bin.003.pcw"}));
    EXPECT_EQ(main->mode, workflow::Direction::Join);
    EXPECT_TRUE(main->job->opened);
    EXPECT_EQ(main->job->formatKind, FormatKind::Native);
    EXPECT_EQ(Text("lblFichier"), "x.bin.001.pcw");
    EXPECT_TRUE(Find<QCheckBox>("chkMD5")->isChecked());
}

TEST_F(OpenAnyPart, DroppedFilesFollowTheRulesOfTheOpenDialog) {
    // Too small to split, as the dialog says it.
    WriteFile(work / "small.txt", std::string(1000, 'a'));
    ASSERT_TRUE(Drop({work / "small.txt"}));
    EXPECT_EQ(sink.messages().back().title, "Fichier trop petit...");
    EXPECT_FALSE(main->job->opened);
    EXPECT_EQ(Text("lblFichier"), "");

    // A folder is no file to split.
    std::filesystem::create_directories(work / "folder");
    ASSERT_TRUE(Drop({work / "folder"}));
    EXPECT_EQ(Texts().back().rfind("Impossible d'ouvrir le fichier !", 0), 0u) << Texts().back();
    EXPECT_FALSE(main->job->opened);

    // Two files at once, or none that is local, are not taken.
    WriteFile(work / "big.bin", RandomBytes(2 * kMo, 2));
    const size_t said = sink.messages().size();
    EXPECT_FALSE(Drop({work / "big.bin", work / "small.txt"}));
    EXPECT_FALSE(Drop({}));
    EXPECT_EQ(sink.messages().size(), said);
    EXPECT_FALSE(main->job->opened);

    // Nor while a name is being edited.
    ASSERT_TRUE(Drop({work / "big.bin"}));
    ASSERT_TRUE(main->job->opened);
    Click("lblDest");
    ASSERT_TRUE(Find<QLineEdit>("edTemp")->isVisible());
    EXPECT_FALSE(Drop({work / "small.txt"}));
    EXPECT_EQ(Text("lblFichier"), "big.bin");
    QTest::keyClick(Find<QLineEdit>("edTemp"), Qt::Key_Escape);
    EXPECT_EQ(sink.messages().size(), said);
}

// The dialog's first entry finds the kind; a part that no kind or two kinds
// fit is said to be so, naming the file, and nothing is guessed.
TEST_F(OpenAnyPart, TheFirstEntryOfTheJoinDialogFindsTheKind) {
    const std::string original = PlainSet(work.path(), "movie.avi", 2);
    Click("rbJoindre");
    Open(work / "movie.avi.001", kAnyKnownSetEntry);
    ASSERT_TRUE(main->job->opened);
    EXPECT_EQ(main->job->formatKind, FormatKind::Numbered);
    EXPECT_EQ(Text("lblDest"), "movie.avi");

    WriteFile(work / "notes.txt", std::string(500, 'n'));
    Open(work / "notes.txt", kAnyKnownSetEntry);
    EXPECT_EQ(sink.messages().back().title, "Type de jeu inconnu");
    EXPECT_NE(Texts().back().find(work / "notes.txt"), std::string::npos) << Texts().back();
    EXPECT_NE(Texts().back().find("boîte d'ouverture"), std::string::npos) << Texts().back();
    // The set opened before stays as it was.
    EXPECT_TRUE(main->job->opened);
    EXPECT_EQ(Text("lblDest"), "movie.avi");

    WriteFile(work / "clip.001", "abcde042" + RandomBytes(3000, 4));
    Open(work / "clip.001", kAnyKnownSetEntry);
    EXPECT_EQ(sink.messages().back().title, "Type de jeu ambigu");
    EXPECT_NE(Texts().back().find("\n\r- Cutkiller (*.001)\n\r- HJSplit"), std::string::npos)
        << Texts().back();
    // Chosen by its entry, the same part opens as that kind.
    Open(work / "clip.001", JoinEntryOf("generic"));
    EXPECT_EQ(main->job->formatKind, FormatKind::Numbered);
    EXPECT_TRUE(main->job->opened);
}

class LaterPartOnTheCommandLine : public GuiTest {
protected:
    void SetUp() override {
        original = PlainSet(work.path(), "movie.avi", 3);
        SplitInto(work.path(), "x.bin", 3 * kMo + 3, 8, false);
        GuiTest::SetUp();
    }
    std::vector<std::string> Args() override { return {work / "x.bin.002.pcw"}; }
    std::string original;
};

TEST_F(LaterPartOnTheCommandLine, OpensItsSetAndTheWindowGoesOnFromThere) {
    EXPECT_EQ(main->mode, workflow::Direction::Join);
    ASSERT_TRUE(main->job->opened);
    EXPECT_EQ(Text("lblFichier"), "x.bin.001.pcw");
    EXPECT_EQ(Text("lblDest"), "x.bin");
    // Only the split that made the set spoke.
    EXPECT_EQ(Texts(), std::vector<std::string>{"Le fichier a été coupé avec succès !"});
}

class ForeignPartOnTheCommandLine : public LaterPartOnTheCommandLine {
protected:
    std::vector<std::string> Args() override { return {work / "movie.avi.001"}; }
};

TEST_F(ForeignPartOnTheCommandLine, OpensInJoinModeWithItsKind) {
    EXPECT_EQ(main->mode, workflow::Direction::Join);
    ASSERT_TRUE(main->job->opened);
    EXPECT_EQ(main->job->formatKind, FormatKind::Numbered);
    Click("lblAction");
    EXPECT_EQ(Texts().back(), "Le fichier a été recoller avec succès !");
    EXPECT_EQ(ReadFile(work / "movie.avi"), original);
}

class UnknownFileOnTheCommandLine : public GuiTest {
protected:
    void SetUp() override {
        WriteFile(work / "notes.txt", std::string(500, 'n'));
        GuiTest::SetUp();
    }
    std::vector<std::string> Args() override { return {work / "notes.txt"}; }
};

TEST_F(UnknownFileOnTheCommandLine, IsSaidToBeOfNoKind) {
    EXPECT_EQ(main->mode, workflow::Direction::Join);
    ASSERT_EQ(sink.messages().size(), 1u);
    EXPECT_EQ(sink.messages().back().title, "Type de jeu inconnu");
    EXPECT_EQ(sink.messages().back().owner, main.get());
    EXPECT_EQ(Text("lblFichier"), "");
}

}  // namespace
