// The standard dialogs as the program shows them: their type lists, their
// starting folder, their language, and no settings file of their own.
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QScreen>
#include <filesystem>

#include "GuiTest.h"
#include "ui/JobFactory.h"
#include "ui/Translations.h"

using namespace testsupport;

namespace {

QStringList Entries(QFileDialog& dialog) {
    QStringList texts;
    auto* types = dialog.findChild<QComboBox*>("fileTypeCombo");
    for (int i = 0; types && i < types->count(); ++i) texts << types->itemText(i);
    return texts;
}

TEST_F(GuiTest, TypeEntriesReadAsTheirDescriptions) {
    auto dialog = FileDialogs::MakeOpenDialog(nullptr, JoinFilters());
    const QStringList entries = Entries(*dialog);
    // The first entry, then one per row of the format table, in its order.
    ASSERT_EQ(entries.size(), static_cast<qsizetype>(JoinFormats().size()) + kAnyKnownSetEntry);
    for (const FormatRow& row : JoinFormats())
        EXPECT_EQ(entries.value(JoinEntryOf(row) - 1).toStdString(), row.entry.label);
    // The first entry takes a part of any kind, a later native part too.
    EXPECT_EQ(entries[kAnyKnownSetEntry - 1], "Tous les jeux reconnus");
    const QString any = dialog->nameFilters().value(kAnyKnownSetEntry - 1);
    for (const char* pattern : {"(*.pcw ", " *.001 ", " *.kk0 ", " *.h001 ", " *__00001 "})
        EXPECT_TRUE(any.contains(pattern)) << pattern << " in " << any.toStdString();
    EXPECT_EQ(any.count("*.001 "), 1) << any.toStdString();
    EXPECT_EQ(entries[JoinEntryOf("native") - 1], "Parcelwise v1.1 (*.001.pcw)");
    EXPECT_EQ(entries[JoinEntryOf("generic") - 1],
              "HJSplit, FileSpliter 4.5, UltraSplitter (*.001;*.u001)");
    EXPECT_EQ(entries[JoinEntryOf("maxsplit") - 1], "MaxSplit Pro 3.1 (*__1,*__01,*__001, etc)");
    // Two entries take "*.001": the one chosen decides the format.
    EXPECT_EQ(FileDialogs::ChosenFilter(*dialog, JoinFilters()), kAnyKnownSetEntry);
    auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
    QTest::keyClick(types, Qt::Key_End);
    EXPECT_EQ(FileDialogs::ChosenFilter(*dialog, JoinFilters()), JoinEntryOf(JoinFormats().back()));
    QTest::keyClick(types, Qt::Key_Home);
    QTest::keyClick(types, Qt::Key_Down);
    EXPECT_EQ(FileDialogs::ChosenFilter(*dialog, JoinFilters()), kAnyKnownSetEntry + 1);
    // The patterns that filter are the entry's own, not those of its description.
    EXPECT_TRUE(dialog->nameFilters()
                    .value(JoinEntryOf("maxsplit") - 1)
                    .endsWith("(*__1 *__01 *__001 *__0001 *__00001)"));

    auto split = FileDialogs::MakeOpenDialog(nullptr, SplitFilters());
    EXPECT_EQ(Entries(*split).value(1), "Fichier Audio (*.wav,*.mp3,*.ogg,*.wma)");
    EXPECT_TRUE(split->nameFilters().value(1).endsWith(
        "(*.mp4 *.mp3 *.mp2 *.mp1 *.wav *.wave *.ogg *.wma *.mpc *.ra)"))
        << split->nameFilters().value(1).toStdString();
}

TEST_F(GuiTest, TheDialogsLeaveNoSettingsFileBehind) {
    for (int i = 0; i < 2; ++i) {
        auto dialog = i == 0 ? FileDialogs::MakeOpenDialog(nullptr, JoinFilters())
                             : FileDialogs::MakeFolderDialog(nullptr, "Dossier",
                                                             QString::fromStdString(work.path()));
        dialog->show();
        QApplication::processEvents();
        dialog->hide();
    }
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(home.path()))
        if (entry.path().filename() == "QtProject.conf") left.push_back(Utf8(entry.path()));
    EXPECT_TRUE(left.empty()) << left.front();
}

TEST_F(GuiTest, TheFolderChooserStartsAtTheDestinationFolder) {
    WriteFile(work / "data.bin", RandomBytes(2 * 1048576, 31));
    Open(work / "data.bin");
    FileDialogs::SetNextFolder(std::nullopt);
    Click("lblChangerDossier");
    EXPECT_EQ(FileDialogs::LastFolderStart().toStdString(), work.path());

    auto dialog =
        FileDialogs::MakeFolderDialog(nullptr, "Dossier", QString::fromStdString(work.path()));
    EXPECT_EQ(QDir(dialog->directory()).canonicalPath(),
              QDir(QString::fromStdString(work.path())).canonicalPath());
}

TEST_F(GuiTest, StandardTextsSpeakFrench) {
    ASSERT_TRUE(InstallTranslations());
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Annuler");
    auto dialog = FileDialogs::MakeOpenDialog(nullptr, JoinFilters());
    EXPECT_NE(dialog->windowTitle(), "Open");
}

// A dialog taller than a small screen hides its buttons below the edge.
TEST_F(GuiTest, TheFileDialogsFitTheScreen) {
    const QSize room = main->screen()->availableGeometry().size();
    for (const auto& dialog : {FileDialogs::MakeOpenDialog(main.get(), JoinFilters()),
                               FileDialogs::MakeFolderDialog(main.get(), "Dossier", "/")}) {
        EXPECT_LE(dialog->width(), room.width());
        EXPECT_LE(dialog->height() + 48, room.height());
        EXPECT_LE(dialog->minimumHeight() + 48, room.height());
    }
}

TEST_F(GuiTest, TheSettingsDialogOpensInTheMiddleOfTheScreen) {
    main->move(0, 0);
    QPoint centre, screenCentre;
    QTimer::singleShot(0, [&] {
        centre = param->frameGeometry().center();
        screenCentre = param->screen()->availableGeometry().center();
        param->Abandon();
    });
    Click("lblParam");
    EXPECT_LE((centre - screenCentre).manhattanLength(), 2);
}

}  // namespace
