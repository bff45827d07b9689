// The main window driven as a user would: sources, the editor, the action and
// whole runs of the native split and join, headless.
#include <QTimer>
#include <filesystem>

#include "GuiTest.h"
#include "core/DisplayNumbers.h"
#include "formats/FormatTable.h"
#include "formats/native/NativeSet.h"
#include "settings/SavedSettings.h"
#include "ui/JobFactory.h"

using namespace testsupport;

namespace {

constexpr char kNoSource[] = "Vous n'avez ouvert aucun fichier !";

TEST_F(GuiTest, StartsInSplitModeWithNothingOpened) {
    EXPECT_EQ(main->mode, workflow::Direction::Split);
    EXPECT_TRUE(Find<QRadioButton>("rbCouper")->isChecked());
    EXPECT_EQ(Text("lblAction"), "COUPER");
    EXPECT_EQ(Text("lblTaille"), "15");
    EXPECT_FALSE(Find<QLabel>("lblMo")->isHidden());
    EXPECT_EQ(Text("lblMd5"), "Créer Hash MD5");
    EXPECT_TRUE(Find<QCheckBox>("chkMD5")->isEnabled());
    EXPECT_FALSE(Find<QCheckBox>("chkMD5")->isChecked());
    EXPECT_EQ(Text("lblDate"), QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
    EXPECT_EQ(main->windowTitle(), "Parcelwise v1.1");
    EXPECT_EQ(main->size(), QSize(450, 275));

    Click("lblAction");
    ASSERT_EQ(sink.messages().size(), 1u);
    EXPECT_EQ(sink.messages()[0].text, kNoSource);
    EXPECT_EQ(sink.messages()[0].title, "-=Parcelwise=-");
    EXPECT_EQ(sink.messages()[0].owner, main.get());
}

TEST_F(GuiTest, SplitSourcesMustBeLargerThanOneMo) {
    WriteFile(work / "small.bin", std::string(1048576, 'x'));
    Open(work / "small.bin");
    ASSERT_EQ(Texts(),
              std::vector<std::string>{"Le fichier sélectionné à une taille inférieure à 1 Mo."});
    EXPECT_EQ(sink.messages()[0].title, "Fichier trop petit...");
    EXPECT_FALSE(main->job->opened);

    WriteFile(work / "big.bin", std::string(1048577, 'x'));
    Open(work / "big.bin");
    EXPECT_EQ(sink.messages().size(), 1u);
    EXPECT_TRUE(main->job->opened);
    EXPECT_EQ(Text("lblFichier"), "big.bin");
    EXPECT_EQ(Find<QLabel>("lblFichier")->toolTip().toStdString(), work / "big.bin");
    EXPECT_EQ(Text("lblDest"), "big.bin");
    EXPECT_EQ(Text("lblDossier").toStdString(), work.path());

    // A cancelled dialog in split mode leaves a fresh job that is not opened.
    FileDialogs::SetNextOpen(std::nullopt);
    Click("lblOuvrir");
    Click("lblAction");
    EXPECT_EQ(Texts().back(), kNoSource);
}

TEST_F(GuiTest, SwitchingModeClearsTheSource) {
    WriteFile(work / "big.bin", RandomBytes(2 << 20, 1));
    Open(work / "big.bin");
    Click("lblTaille");
    QTest::keyClick(Find<QLineEdit>("edTemp"), Qt::Key_Escape);
    Click("rbJoindre");
    EXPECT_EQ(Text("lblAction"), "COLLER");
    EXPECT_EQ(Text("lblFichier"), "");
    EXPECT_EQ(Text("lblDest"), "");
    EXPECT_EQ(Text("lblDossier"), "");
    EXPECT_EQ(Text("lblTaille"), "");
    EXPECT_EQ(Text("lblMd5"), "Vérifier Hash MD5");
    EXPECT_FALSE(Find<QCheckBox>("chkMD5")->isEnabled());
    EXPECT_TRUE(Find<QComboBox>("cboMode")->isHidden());
    EXPECT_FALSE(main->job->opened);
    Click("rbCouper");
    EXPECT_EQ(Text("lblTaille"), "15");
    EXPECT_FALSE(Find<QCheckBox>("chkMD5")->isChecked());
}

TEST_F(GuiTest, EditorFiltersKeysAndValidatesEntries) {
    WriteFile(work / "film.avi", RandomBytes(2 << 20, 2));
    Open(work / "film.avi");
    auto* editor = Find<QLineEdit>("edTemp");

    // The size: digits only; 1 to 999; leading zeros kept on the label.
    Click("lblTaille");
    ASSERT_TRUE(editor->isVisible());
    EXPECT_FALSE(Find<QWidget>("lblAction")->isEnabled());
    editor->clear();
    QTest::keyClicks(editor, "0a0-7");
    EXPECT_EQ(editor->text(), "007");
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(Text("lblTaille"), "007");
    EXPECT_EQ(main->params->defaultSize, 7);

    Click("lblTaille");
    for (const char* refused : {"1000", "0"}) {
        editor->setText(refused);
        QTest::keyClick(editor, Qt::Key_Return);
        EXPECT_TRUE(editor->isVisible()) << refused;
    }
    EXPECT_TRUE(sink.messages().empty());
    editor->setText("99999999999");
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_TRUE(editor->isVisible());
    ASSERT_EQ(Texts(), std::vector<std::string>{"Vous devez saisir un entier entre 1 et 999 !"});
    EXPECT_EQ(sink.messages()[0].title, "Erreur de saisie");
    editor->setText("999");
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(Text("lblTaille"), "999");

    // Names refuse what a file name may not hold; an empty entry does nothing.
    Click("lblDest");
    editor->clear();
    QTest::keyClicks(editor, "a:b\\c|d");
    EXPECT_EQ(editor->text(), "abcd");
    editor->clear();
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_TRUE(editor->isVisible());
    const std::string sixty(60, 'n');
    editor->setText(QString::fromStdString(sixty));
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(Text("lblDest").toStdString(), sixty.substr(0, 50));

    // A destination whose first part exists already keeps the editor open.
    WriteFile(work / "taken.001.pcw", "x");
    Click("lblDest");
    editor->setText("taken");
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(Texts().back(), "Le fichier < taken > existe déjà !");
    EXPECT_EQ(sink.messages().back().title, "Nom incorrecte !");
    // A folder in the way is said to be one.
    std::filesystem::create_directory(work / "shelf.001.pcw");
    editor->setText("shelf");
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(Texts().back(), "Un dossier < shelf.001.pcw > existe déjà !");
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_TRUE(Find<QWidget>("lblAction")->isEnabled());
    EXPECT_EQ(Text("lblDest").toStdString(), sixty.substr(0, 50));

    // The stored name is edited in split mode only.
    Click("lblFichier");
    editor->setText("autre.avi");
    QTest::keyClick(editor, Qt::Key_Enter);
    EXPECT_EQ(Text("lblFichier"), "autre.avi");
}

TEST_F(GuiTest, LabelsIgnoreClicksWithoutASource) {
    Click("lblFichier");
    Click("lblDest");
    Click("lblTaille");
    EXPECT_FALSE(Find<QLineEdit>("edTemp")->isVisible());
}

// Runs the action; the progress window is modal until the job ends.
void RunAction(MainWindow& main) {
    main.StartAction();
}

TEST_F(GuiTest, SplitAndJoinEndToEnd) {
    const std::string original = RandomBytes(3 * 1048576 + 12345, 3);
    WriteFile(work / "film.avi", original);
    Open(work / "film.avi");
    // "Nombre" 3: parts just large enough for exactly three.
    Find<QComboBox>("cboMode")->setCurrentIndex(1);
    main->ChangeSizeMode(1);
    SetSize("3");
    Click("lblMd5");
    ASSERT_TRUE(Find<QCheckBox>("chkMD5")->isChecked());

    RunAction(*main);
    EXPECT_EQ(Texts(), std::vector<std::string>{"Le fichier a été coupé avec succès !"});
    EXPECT_EQ(sink.messages()[0].owner, processing.get());
    const int64_t part = static_cast<int64_t>(original.size()) / 3 + 1;
    EXPECT_EQ(std::filesystem::file_size(work / "film.avi.001.pcw"),
              static_cast<uintmax_t>(part + 104));
    EXPECT_EQ(std::filesystem::file_size(work / "film.avi.003.pcw"),
              static_cast<uintmax_t>(static_cast<int64_t>(original.size()) - 2 * part + 3 * 32));
    // Back in split mode, nothing opened.
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(main->mode, workflow::Direction::Split);
    EXPECT_FALSE(main->job->opened);
    EXPECT_EQ(Text("lblFichier"), "");

    std::filesystem::rename(work / "film.avi", work / "film.orig");
    Click("rbJoindre");
    Open(work / "film.avi.001.pcw");
    EXPECT_EQ(Text("lblDest"), "film.avi");
    EXPECT_EQ(Text("lblTaille").toStdString(), FormatSize(static_cast<int64_t>(original.size())));
    EXPECT_TRUE(Find<QCheckBox>("chkMD5")->isChecked());
    EXPECT_TRUE(Find<QCheckBox>("chkMD5")->isEnabled());
    EXPECT_EQ(Text("lblDate"), QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
    RunAction(*main);
    EXPECT_EQ(Texts().back(), "Le fichier a été recoller avec succès !");
    EXPECT_EQ(ReadFile(work / "film.avi"), original);
    EXPECT_EQ(main->mode, workflow::Direction::Join);
    Click("lblAction");
    EXPECT_EQ(Texts().back(), kNoSource);
}

TEST_F(GuiTest, FreeSpaceMustExceedWhatTheJobWrites) {
    const std::string original = RandomBytes(2 * 1048576 + 7, 4);
    WriteFile(work / "data.bin", original);
    Open(work / "data.bin");
    SetSize("1");
    const int64_t size = static_cast<int64_t>(original.size());
    const int64_t written = size + 104;  // the data and the header of the first part

    platform::testing::OverrideFreeSpace(written);
    RunAction(*main);
    ASSERT_EQ(sink.messages().size(), 1u);
    EXPECT_EQ(sink.messages()[0].text.rfind("Il n'y a pas assez d'espace sur le disque dur ( ", 0),
              0u);
    EXPECT_NE(
        sink.messages()[0].text.find("Libre : 2,00 Mo | Nécessaire : 2,00 Mo | Besoin : 0,00 Mo"),
        std::string::npos);
    EXPECT_TRUE(main->job->opened);  // the source stays for another try

    platform::testing::OverrideFreeSpace(written + 1);
    RunAction(*main);
    EXPECT_EQ(Texts().back(), "Le fichier a été coupé avec succès !");

    // A join is measured by the file it rebuilds, not by its first part.
    std::filesystem::rename(work / "data.bin", work / "data.orig");
    Click("rbJoindre");
    Open(work / "data.bin.001.pcw");
    platform::testing::OverrideFreeSpace(size);
    RunAction(*main);
    EXPECT_NE(Texts().back().find("Nécessaire : 2,00 Mo"), std::string::npos) << Texts().back();
    EXPECT_FALSE(std::filesystem::exists(work / "data.bin"));
    platform::testing::OverrideFreeSpace(size + 1);
    RunAction(*main);
    EXPECT_EQ(Texts().back(), "Le fichier a été recoller avec succès !");
}

TEST_F(GuiTest, RefusedParametersCancelTheAction) {
    WriteFile(work / "data.bin", RandomBytes(2 * 1048576, 5));
    WriteFile(work / "data.bin.001.pcw", "in the way");
    Open(work / "data.bin");
    RunAction(*main);
    ASSERT_EQ(sink.messages().size(), 2u);
    EXPECT_NE(Texts()[0].find("- Le fichier de destination existe déjà :"), std::string::npos);
    EXPECT_EQ(Texts()[1], "Le découpage a été annulé.");
    EXPECT_TRUE(main->job->opened);
}

TEST_F(GuiTest, RefusedSetLeavesNothingOpened) {
    WriteFile(work / "junk.001.pcw", std::string(200, 'j'));
    Click("rbJoindre");
    Open(work / "junk.001.pcw");
    EXPECT_EQ(
        Texts(),
        std::vector<std::string>{
            "Le fichier Parcelwise semble être corrompu. Il n'est pas possible de le recoller."});
    EXPECT_FALSE(main->job->opened);
    EXPECT_EQ(Text("lblFichier"), "");
}

// Each entry of the join dialog opens the chosen file as the kind of its row,
// whether that kind then accepts it or not.
TEST_F(GuiTest, EveryJoinEntryOpensItsOwnKind) {
    WriteFile(work / "movie.avi.001", RandomBytes(4096, 3));
    Click("rbJoindre");
    const auto rows = JoinFormats();
    ASSERT_EQ(JoinFilters().size(), static_cast<qsizetype>(rows.size()) + kAnyKnownSetEntry);
    for (size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(std::string(rows[i].entry.label));
        Open(work / "movie.avi.001", JoinEntryOf(rows[i]));
        ASSERT_NE(main->job, nullptr);
        EXPECT_EQ(main->job->formatKind, rows[i].code);
    }
}

TEST_F(GuiTest, ForeignSetsJoinFromTheEntryChosenInTheDialog) {
    const std::string original = RandomBytes(3 * 1048576 + 11, 12);
    for (int k = 0; k < 4; ++k)
        WriteFile(work / ("movie.avi.00" + std::to_string(k + 1)),
                  original.substr(static_cast<size_t>(k) * 1048576, 1048576));
    Click("rbJoindre");

    // The entry decides: read as Cutkiller, the plain part has no header.
    Open(work / "movie.avi.001", JoinEntryOf("cutkiller"));
    EXPECT_NE(Texts().back().find("Cutkiller"), std::string::npos) << Texts().back();
    EXPECT_FALSE(main->job->opened);
    EXPECT_EQ(Text("lblDest"), "");

    // The last entry: sets of any numbering.
    Open(work / "movie.avi.001", JoinEntryOf(JoinFormats().back()));
    EXPECT_TRUE(main->job->opened);
    EXPECT_EQ(main->job->formatKind, FormatKind::Numbered);
    EXPECT_EQ(Text("lblDest"), "movie.avi");
    EXPECT_EQ(Text("lblTaille").toStdString(), FormatSize(static_cast<int64_t>(original.size())));
    EXPECT_FALSE(Find<QCheckBox>("chkMD5")->isEnabled());
    EXPECT_FALSE(Find<QWidget>("lblMd5")->isEnabled());
    Click("lblAction");
    EXPECT_EQ(Texts().back(), "Le fichier a été recoller avec succès !");
    EXPECT_EQ(ReadFile(work / "movie.avi"), original);
}

TEST_F(GuiTest, SettingsDialogChoosesTheNextJobsBuffer) {
    // What a program started now would read: a choice is kept once applied,
    // not only when the program closes.
    auto saved = [this] {
        SavedSettings fresh({}, "/usr/bin/parcelwise", home / "reg");
        platform::Messages said;
        fresh.LoadSettings(said);
        return fresh;
    };
    EXPECT_EQ(main->params->bufferSize, 16384u);
    QTimer::singleShot(0, [this] {
        EXPECT_EQ(param->cboBuffer()->currentText(), "16 ko");
        param->cboBuffer()->setCurrentIndex(5);
        param->Abandon();
    });
    Click("lblParam");
    EXPECT_EQ(main->params->bufferSize, 16384u);
    EXPECT_EQ(saved().bufferSize, 16384u);

    QTimer::singleShot(0, [this] {
        EXPECT_EQ(param->cboBuffer()->currentText(), "16 ko");
        param->cboBuffer()->setCurrentIndex(6);
        param->Apply();
    });
    Click("lblParam");
    EXPECT_EQ(main->params->bufferSize, 4194304u);
    EXPECT_EQ(saved().bufferSize, 4194304u);

    WriteFile(work / "data.bin", RandomBytes(2 * 1048576 + 1, 6));
    Open(work / "data.bin");
    SetSize("1");
    EXPECT_EQ(saved().defaultSize, 1);
    RunAction(*main);
    EXPECT_EQ(Texts().back(), "Le fichier a été coupé avec succès !");
    EXPECT_EQ(main->job->choices.bufferSize, 4194304u);

    QTimer::singleShot(0, [this] {
        EXPECT_EQ(param->cboBuffer()->currentText(), "4096 ko");
        param->Apply();
    });
    Click("lblParam");
    EXPECT_EQ(main->params->bufferSize, 4194304u);
}

TEST_F(GuiTest, FolderChooserKeepsTheFolderWhenCancelled) {
    WriteFile(work / "data.bin", RandomBytes(2 * 1048576, 7));
    Open(work / "data.bin");
    FileDialogs::SetNextFolder(std::nullopt);
    Click("lblChangerDossier");
    EXPECT_EQ(Text("lblDossier").toStdString(), work.path());
    FileDialogs::SetNextFolder(QString::fromStdString(home.path() + "out"));
    std::filesystem::create_directories(home / "out");
    Click("lblChangerDossier");
    EXPECT_EQ(Text("lblDossier").toStdString(), platform::WithSeparator(home / "out"));
    EXPECT_EQ(main->job->choices.folder, platform::WithSeparator(home / "out"));
}

class CommandLineStart : public GuiTest {
protected:
    void SetUp() override {
        SplitInto(work.path(), "x.bin", 2 * 1048576 + 3, 8, false);
        GuiTest::SetUp();
    }
    std::vector<std::string> Args() override { return {work / "x.bin.001.pcw"}; }
};

TEST_F(CommandLineStart, OpensTheFileAsANativeSetInJoinMode) {
    EXPECT_EQ(main->mode, workflow::Direction::Join);
    EXPECT_TRUE(main->job->opened);
    EXPECT_EQ(Text("lblAction"), "COLLER");
    EXPECT_EQ(Text("lblDest"), "x.bin");
    EXPECT_EQ(Text("lblFichier"), "x.bin.001.pcw");
    EXPECT_FALSE(Find<QCheckBox>("chkMD5")->isEnabled());
    Click("lblAction");
    EXPECT_EQ(Texts().back(), "Le fichier a été recoller avec succès !");
    EXPECT_TRUE(std::filesystem::exists(work / "x.bin"));
}

}  // namespace

namespace {

// What an X window manager does to a window that the program once minimised
// itself: shown again after being hidden, it is mapped minimised, even though
// the user restored it from the task bar meanwhile.
class MapsMinimisedWhenShown : public QObject {
public:
    bool armed = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (armed && event->type() == QEvent::Show) {
            armed = false;
            static_cast<QWidget*>(watched)->windowHandle()->setWindowStates(Qt::WindowMinimized);
        }
        return false;
    }
};

TEST_F(GuiTest, TheMainWindowComesBackAfterAMinimiseAndARestore) {
    Click("lblMin");
    EXPECT_TRUE(main->isMinimized());
    main->windowHandle()->showNormal();  // the task bar
    ASSERT_TRUE(QTest::qWaitFor([this] { return !main->isMinimized(); }, 1000));
    MapsMinimisedWhenShown system;
    main->installEventFilter(&system);
    // Once the system has had its say.
    auto backToNormal = [this] {
        QTest::qWait(300);
        return main->isVisible() && !main->isMinimized();
    };

    // The conversion window, opened and closed.
    system.armed = true;
    QTimer::singleShot(0, [this] {
        QTest::mouseClick(convert->findChild<QWidget*>("lblCancel"), Qt::LeftButton);
    });
    Click("lblConvert");
    EXPECT_TRUE(backToNormal());

    // A whole job.
    WriteFile(work / "data.bin", RandomBytes(2 * 1048576 + 1, 13));
    Open(work / "data.bin");
    SetSize("1");
    system.armed = true;
    Click("lblAction");
    EXPECT_EQ(Texts().back(), "Le fichier a été coupé avec succès !");
    EXPECT_TRUE(backToNormal());
    EXPECT_TRUE(Find<QWidget>("lblAction")->isEnabled());
    main->removeEventFilter(&system);
}

}  // namespace
