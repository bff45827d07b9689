// The windows without a mouse: Tab visits every control in reading order,
// and Space or Enter acts on the one that has the focus.
#include <QAccessible>
#include <QMenu>

#include "GuiTest.h"

using namespace testsupport;

namespace {

// The controls that Tab visits from `first` until it comes back round.
QStringList TabChain(QWidget* first) {
    QStringList names;
    first->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    for (int i = 0; i < 40; ++i) {
        QWidget* focused = QApplication::focusWidget();
        if (!focused || (i > 0 && focused == first)) break;
        names << focused->objectName();
        QTest::keyClick(focused, Qt::Key_Tab);
    }
    return names;
}

TEST_F(GuiTest, TabVisitsTheMainWindowInReadingOrder) {
    WriteFile(work / "film.avi", RandomBytes(2 << 20, 41));
    Open(work / "film.avi");
    main->activateWindow();
    EXPECT_EQ(TabChain(Find<QWidget>("lblAide")).join(" "),
              "lblAide lblMin lblQuitter rbCouper lblParam lblFichier lblOuvrir lblDest "
              "lblChangerDossier "
              "cboMode lblTaille chkMD5 lblConvert lblAction");
}

TEST_F(GuiTest, TabVisitsTheSettingsDialogInReadingOrder) {
    QString chain;
    QTimer::singleShot(0, [&] {
        chain = TabChain(param->cboBuffer()).join(" ");
        param->Abandon();
    });
    Click("lblParam");
    EXPECT_EQ(chain, "cboBuffer spnRecovery cboPartFormat cboLanguage lblGo lblCancel");
}

TEST_F(GuiTest, SpaceAndEnterActOnTheFocusedControl) {
    WriteFile(work / "film.avi", RandomBytes(2 << 20, 42));
    FileDialogs::SetNextOpen(OpenChoice{QString::fromStdString(work / "film.avi"), 1});
    QWidget* open = Find<QWidget>("lblOuvrir");
    open->setFocus(Qt::TabFocusReason);
    QTest::keyClick(open, Qt::Key_Space);
    EXPECT_EQ(Text("lblFichier"), "film.avi");

    QWidget* size = Find<QWidget>("lblTaille");
    size->setFocus(Qt::TabFocusReason);
    QTest::keyClick(size, Qt::Key_Return);
    EXPECT_TRUE(Find<QLineEdit>("edTemp")->isVisible());
    EXPECT_EQ(main->focusWidget(), Find<QWidget>("edTemp"));
    QTest::keyClick(Find<QLineEdit>("edTemp"), Qt::Key_Escape);

    auto* box = Find<QCheckBox>("chkMD5");
    box->setFocus(Qt::TabFocusReason);
    QTest::keyClick(box, Qt::Key_Space);
    EXPECT_TRUE(box->isChecked());

    QWidget* action = Find<QWidget>("lblAction");
    action->setFocus(Qt::TabFocusReason);
    FileDialogs::SetNextOpen(std::nullopt);
    QTest::keyClick(Find<QWidget>("lblOuvrir"), Qt::Key_Enter);
    QTest::keyClick(action, Qt::Key_Enter);
    EXPECT_EQ(Texts().back(), "Vous n'avez ouvert aucun fichier !");
}

TEST_F(GuiTest, ThePauseButtonAndTheClockAnswerTheKeyboard) {
    WriteFile(work / "big.bin", RandomBytes(64 << 20, 43));
    Open(work / "big.bin");
    SetSize("1");
    QStringList chain;
    bool menuOpened = false;
    QTimer::singleShot(0, [&] {
        chain = TabChain(Find<QWidget>("lblTemps"));
        QWidget* pause = Find<QWidget>("lblTest");
        pause->setFocus(Qt::TabFocusReason);
        QTest::keyClick(pause, Qt::Key_Space);
        EXPECT_EQ(Text("lblTest"), "Continuer");
        QWidget* clock = Find<QWidget>("lblTemps");
        clock->setFocus(Qt::TabFocusReason);
        QTest::keyClick(clock, Qt::Key_Space);
        auto* menu = processing->findChild<QMenu*>("popTime");
        menuOpened = menu->isVisible();
        QTest::keyClick(menu, Qt::Key_Escape);
        QTest::keyClick(pause, Qt::Key_Space);
        EXPECT_EQ(Text("lblTest"), "Pause");
    });
    Click("lblAction");
    EXPECT_EQ(chain.join(" "), "lblTemps lblTest imgAnnuler");
    EXPECT_TRUE(menuOpened);
    EXPECT_EQ(Texts().back(), "Le fichier a été coupé avec succès !");
}

}  // namespace

// The keyboard's place shows from the start, and comes back to the control it
// left for the editor or for a job.
TEST_F(GuiTest, FocusShowsFromTheStartAndReturnsWhereItWas) {
    EXPECT_TRUE(main->testAttribute(Qt::WA_KeyboardFocusChange));
    EXPECT_EQ(main->focusWidget(), Find<QWidget>("rbCouper"));
    // Marks that would be drawn black on the progress window's black skin.
    EXPECT_GT(Find<QWidget>("imgAnnuler")->palette().color(QPalette::WindowText).lightness(), 128);

    WriteFile(work / "film.avi", RandomBytes(2 << 20, 44));
    Open(work / "film.avi");
    QWidget* size = Find<QWidget>("lblTaille");
    const struct {
        const char* what;
        QWidget* from;
        Qt::Key key;
    } cases[] = {
        {"the size editor, validated", size, Qt::Key_Return},
        {"the size editor, abandoned", size, Qt::Key_Escape},
        {"a job", Find<QWidget>("lblAction"), Qt::Key_Return},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (!main->job || !main->job->opened) Open(work / "film.avi");
        c.from->setFocus(Qt::TabFocusReason);
        QTest::keyClick(c.from, Qt::Key_Return);
        if (c.from == size) {
            Find<QLineEdit>("edTemp")->setText("1");
            QTest::keyClick(Find<QLineEdit>("edTemp"), c.key);
        }
        EXPECT_EQ(main->focusWidget(), c.from);
    }
    EXPECT_EQ(Texts().back(), "Le fichier a été coupé avec succès !");
}

// What a screen reader finds: every control with a role, a name and, for those
// that act, a press that does what a click does.
TEST_F(GuiTest, ScreenReadersFindAndPressTheSkinnedControls) {
    const struct {
        const char* name;
        QAccessible::Role role;
        const char* accessibleName;
        const char* value;
    } cases[] = {
        {"lblAction", QAccessible::Button, "COUPER", ""},
        {"lblOuvrir", QAccessible::Button, "Ouvrir un fichier", ""},
        {"lblParam", QAccessible::Button, "Paramètres", ""},
        {"lblQuitter", QAccessible::Button, "Quitter Parcelwise 1.1", ""},
        {"lblFichier", QAccessible::Button, "Fichier source :", "film.avi"},
        {"lblDossier", QAccessible::StaticText, "Dossier de destination :", ""},
        {"chkMD5", QAccessible::CheckBox, "Créer Hash MD5", ""},
        {"rbCouper", QAccessible::RadioButton, "Couper", ""},
        {"lblTest", QAccessible::Button, "Pause", ""},
        {"imgAnnuler", QAccessible::Button, "Annuler", ""},
    };
    WriteFile(work / "film.avi", RandomBytes(2 << 20, 45));
    Open(work / "film.avi");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QAccessibleInterface* control =
            QAccessible::queryAccessibleInterface(Find<QWidget>(c.name));
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->role(), c.role);
        EXPECT_EQ(control->text(QAccessible::Name), QString::fromUtf8(c.accessibleName));
        if (*c.value) {
            EXPECT_EQ(control->text(QAccessible::Value), QString::fromUtf8(c.value));
        }
        if (c.role == QAccessible::Button) {
            QAccessibleActionInterface* actions = control->actionInterface();
            ASSERT_NE(actions, nullptr);
            EXPECT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
        }
    }
    // A press acts as a click, and a greyed control is greyed for the reader too.
    auto press = [this](const char* name) {
        QAccessibleInterface* control = QAccessible::queryAccessibleInterface(Find<QWidget>(name));
        if (QAccessibleActionInterface* actions = control ? control->actionInterface() : nullptr)
            actions->doAction(QAccessibleActionInterface::pressAction());
        QApplication::processEvents();
    };
    SetSize("1");
    press("lblAction");
    EXPECT_EQ(Texts().back(), "Le fichier a été coupé avec succès !");
    press("lblAction");
    EXPECT_EQ(Texts().back(), "Vous n'avez ouvert aucun fichier !");
    Find<QWidget>("lblAction")->setEnabled(false);
    const size_t before = Texts().size();
    press("lblAction");
    EXPECT_EQ(Texts().size(), before);
    EXPECT_TRUE(
        QAccessible::queryAccessibleInterface(Find<QWidget>("lblAction"))->state().disabled);
}
