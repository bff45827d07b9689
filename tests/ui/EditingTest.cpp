// What the main window shows and takes between two runs: the digest option,
// the editor's keys and the labels after a cancelled dialog.
#include <QMenu>
#include <filesystem>

#include "GuiTest.h"
#include "formats/native/NativeSet.h"
#include "settings/SavedSettings.h"

using namespace testsupport;

namespace {

// Splits `name` in `folder` into 1 MiB parts, with or without digests.
void SplitInto(const std::string& folder, const std::string& name, bool digests) {
    ::SplitInto(folder, name, 2 * 1048576 + 5, 21, digests);
}

TEST_F(GuiTest, TheDigestCaptionTogglesOnlyABoxThatCanBeUsed) {
    SplitInto(work.path(), "plain.bin", false);
    SplitInto(work.path(), "hashed.bin", true);
    Click("rbJoindre");
    auto* box = Find<QCheckBox>("chkMD5");

    Open(work / "plain.bin.001.pcw");
    EXPECT_FALSE(Find<QWidget>("lblMd5")->isEnabled());
    Click("lblMd5");
    EXPECT_FALSE(box->isChecked());

    Open(work / "hashed.bin.001.pcw");
    EXPECT_TRUE(box->isChecked());
    Click("lblMd5");
    EXPECT_FALSE(box->isChecked());  // the user may join without the check
    Click("lblMd5");
    EXPECT_TRUE(box->isChecked());
}

TEST_F(GuiTest, TheEditorSelectsItsTextAndKnowsTheUsualKeys) {
    WriteFile(work / "film.avi", RandomBytes(2 << 20, 22));
    Open(work / "film.avi");
    auto* editor = Find<QLineEdit>("edTemp");

    Click("lblTaille");
    EXPECT_EQ(editor->selectedText(), "15");
    QTest::keyClick(editor, '7');
    EXPECT_EQ(editor->text(), "7");
    QTest::keyClick(editor, '5');
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(editor, '9');
    EXPECT_EQ(editor->text(), "9");
    QTest::keyClick(editor, Qt::Key_Home);
    QTest::keyClick(editor, '1');
    QTest::keyClick(editor, Qt::Key_End);
    QTest::keyClick(editor, '0');
    EXPECT_EQ(editor->text(), "190");
    QTest::keyClick(editor, Qt::Key_Left);
    QTest::keyClick(editor, Qt::Key_Left);
    QTest::keyClick(editor, Qt::Key_Delete);
    EXPECT_EQ(editor->text(), "10");
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(Text("lblTaille"), "10");

    // Shortcuts are no characters of a name either.
    Click("lblDest");
    EXPECT_EQ(editor->selectedText(), "film.avi");
    QTest::keyClick(editor, Qt::Key_End);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, "autre");
    EXPECT_EQ(editor->text(), "autre");
    QTest::keyClick(editor, Qt::Key_Escape);
}

// Pasted text never brings a folder into a name: what the keys refuse, the
// entry loses.
TEST_F(GuiTest, APastedNameLosesTheCharactersAFileNameMayNotHold) {
    WriteFile(work / "film.avi", RandomBytes(2 << 20, 23));
    Open(work / "film.avi");
    auto* editor = Find<QLineEdit>("edTemp");
    Click("lblDest");
    editor->selectAll();
    editor->insert("../../etc/x:y");  // what a paste does
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(Text("lblDest"), "....etcxy");
    Click("lblFichier");
    editor->selectAll();
    editor->insert("a/b");
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(Text("lblFichier"), "ab");
}

TEST_F(GuiTest, ACancelledOpenLeavesNoOldSourceOnScreen) {
    WriteFile(work / "film.avi", RandomBytes(2 << 20, 24));
    Open(work / "film.avi");
    FileDialogs::SetNextOpen(std::nullopt);
    Click("lblOuvrir");
    EXPECT_EQ(Text("lblFichier"), "");
    EXPECT_EQ(Text("lblDest"), "");
    EXPECT_EQ(Text("lblDossier"), "");
    Click("lblAction");
    EXPECT_EQ(Texts().back(), "Vous n'avez ouvert aucun fichier !");

    // So does a source that is too small.
    WriteFile(work / "small.bin", std::string(1000, 's'));
    Open(work / "film.avi");
    Open(work / "small.bin");
    EXPECT_EQ(Texts().back(), "Le fichier sélectionné à une taille inférieure à 1 Mo.");
    EXPECT_EQ(Text("lblFichier"), "");
    EXPECT_EQ(Text("lblDest"), "");

    // In join mode a cancelled dialog keeps the opened set.
    SplitInto(work.path(), "set.bin", false);
    Click("rbJoindre");
    Open(work / "set.bin.001.pcw");
    FileDialogs::SetNextOpen(std::nullopt);
    Click("lblOuvrir");
    EXPECT_EQ(Text("lblFichier"), "set.bin.001.pcw");
    EXPECT_TRUE(main->job->opened);
}

}  // namespace

namespace {

// Long names are cut on screen with "…"; the label and its tip keep them whole.
TEST_F(GuiTest, NamesTooLongForTheirLabelEndWithAnEllipsis) {
    const std::string folder = platform::WithSeparator(work.path() + std::string(60, 'd'));
    std::filesystem::create_directories(folder);
    const std::string name = std::string(80, 'n') + ".bin";
    WriteFile(folder + name, RandomBytes(2 << 20, 25));
    Open(folder + name);
    for (const char* label : {"lblFichier", "lblDest", "lblDossier"}) {
        auto* shown = Find<ClickLabel>(label);
        EXPECT_TRUE(shown->shownText().endsWith(QChar(0x2026))) << label;
        EXPECT_LE(shown->fontMetrics().horizontalAdvance(shown->shownText()),
                  shown->contentsRect().width())
            << label;
    }
    EXPECT_EQ(Text("lblDest").toStdString(), name);
    EXPECT_EQ(Find<QLabel>("lblDossier")->toolTip().toStdString(), folder);
    EXPECT_EQ(Find<QLabel>("lblFichier")->toolTip().toStdString(), folder + name);

    // What fits is shown whole, the extension included.
    auto* extension = Find<ClickLabel>("lblExtension");
    EXPECT_EQ(extension->shownText(), ".001.pcw");
    EXPECT_EQ(Find<ClickLabel>("lblTaille")->shownText(), "15");
}

}  // namespace

namespace {

// The size field's menu of presets, opened by a right click on the field.
TEST_F(GuiTest, TheSizeFieldOffersThePresetsThatTheSetTakes) {
    const std::string original = RandomBytes(15 * 1000000, 28);
    WriteFile(work / "mail.bin", original);
    Open(work / "mail.bin");
    auto* menu = main->findChild<QMenu*>("mnuPresets");
    ASSERT_TRUE(menu != nullptr);
    // Larger than a native part: shown, not chosen, pointing to plain sets,
    // which take them all.
    const struct {
        const char* action;
        bool native;  // enabled
    } rows[] = {{"preset_fat32", false},  {"preset_cd", true},  {"preset_dvd", false},
                {"preset_dvd-dl", false}, {"preset_bd", false}, {"preset_mail-25", true},
                {"preset_mail-10", true}};
    for (bool plain : {true, false}) {
        main->params->plainSets = plain;
        menu->hide();
        ClickThroughWindow("lblTaille", Qt::RightButton);
        ASSERT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }, 2000));
        for (const auto& row : rows) {
            QAction* action = menu->findChild<QAction*>(row.action);
            EXPECT_EQ(action->isEnabled(), plain || row.native) << row.action << plain;
            EXPECT_EQ(action->text().contains("--plain"), !action->isEnabled()) << row.action;
        }
    }
    QAction* mail = menu->findChild<QAction*>("preset_mail-10");
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(mail).center());
    EXPECT_EQ(Text("lblTaille"), "mail-10");

    main->StartAction();  // the progress window is modal until the job ends
    EXPECT_EQ(Texts(), std::vector<std::string>{"Le fichier a été coupé avec succès !"});
    EXPECT_EQ(std::filesystem::file_size(work / "mail.bin.002.pcw"), 7000000u);
    EXPECT_EQ(std::filesystem::file_size(work / "mail.bin.003.pcw"), 1000000u);
}

}  // namespace
