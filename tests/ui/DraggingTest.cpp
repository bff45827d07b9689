// Moving the borderless windows: only their background and the few labels
// that do not act move them, only when the pointer really moves, and a
// clickable label acts without moving anything.
#include "GuiTest.h"

namespace {

class DraggingTest : public GuiTest {
protected:
    // Presses at the widget's centre, moves the pointer by `by` on the screen
    // with the button held and releases there, through the window as the
    // system delivers it: each event is placed where the window is by then.
    void Drag(QWidget* widget, QPoint by) {
        const QPoint from = widget->mapToGlobal(widget->rect().center());
        Drag(widget->window()->windowHandle(), from, by);
    }
    void Drag(const char* name, QPoint by) { Drag(Find<QWidget>(name), by); }
    void Drag(QWindow* window, QPoint from, QPoint by) {
        QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, window->mapFromGlobal(from));
        QTest::mouseMove(window, window->mapFromGlobal(from + by / 2));
        QTest::mouseMove(window, window->mapFromGlobal(from + by));
        QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier,
                            window->mapFromGlobal(from + by));
    }
};

TEST_F(DraggingTest, TheBackgroundAndTheQuietLabelsMoveTheWindow) {
    for (const char* area : {"lblDossier", "lblDate", "lblMd5"}) {
        const QPoint before = main->pos();
        Drag(area, {30, 20});
        EXPECT_EQ(main->pos(), before + QPoint(30, 20)) << area;
    }
    // A drag on the caption of the digest box is no click on it.
    EXPECT_FALSE(Find<QCheckBox>("chkMD5")->isChecked());

    // The background, between the fields.
    const QPoint before = main->pos();
    Drag(main->windowHandle(), main->mapToGlobal(QPoint(300, 230)), {20, 10});
    EXPECT_EQ(main->pos(), before + QPoint(20, 10));
}

TEST_F(DraggingTest, ClickableLabelsNeverMoveTheWindow) {
    // A label that acted after a drag would open its modal window: close it.
    QStringList opened;
    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            opened << dialog->objectName();
            dialog->done(2);
        }
    });
    watchdog.start(20);
    for (const char* label :
         {"lblConvert", "lblParam", "lblOuvrir", "lblAction", "lblTaille", "lblAide"}) {
        const QPoint before = main->pos();
        Drag(label, {40, 25});
        EXPECT_EQ(main->pos(), before) << label;
    }
    EXPECT_TRUE(sink.messages().empty());  // released away from it, no label acted
    EXPECT_TRUE(opened.isEmpty()) << opened.join(", ").toStdString();
}

TEST_F(DraggingTest, AClickMovesNothingAndLeavesNothingFollowingThePointer) {
    const QPoint before = main->pos();
    QWindow* window = main->windowHandle();
    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, {300, 230});
    QTest::mouseMove(window, {340, 250});
    EXPECT_EQ(main->pos(), before);

    // A click on the caption toggles the box and moves nothing; a hand's
    // tremble of a pixel or two is still a click.
    QWidget* caption = Find<QWidget>("lblMd5");
    const QPoint at = caption->mapTo(main.get(), caption->rect().center());
    QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseMove(window, at + QPoint(1, 1));
    QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, at + QPoint(1, 1));
    EXPECT_TRUE(Find<QCheckBox>("chkMD5")->isChecked());
    EXPECT_EQ(main->pos(), before);
}

TEST_F(DraggingTest, TheSettingsDialogMovesByItsBackgroundOnly) {
    bool done = false;
    QTimer::singleShot(0, [&] {
        const QPoint before = param->pos();
        Drag(param->windowHandle(), param->mapToGlobal(QPoint(60, 203)), {25, 15});
        EXPECT_EQ(param->pos(), before + QPoint(25, 15));
        const QPoint after = param->pos();
        Drag(param->findChild<QWidget*>("lblGo"), {25, 15});
        EXPECT_EQ(param->pos(), after);
        done = true;
        param->Abandon();
    });
    main->OpenSettings();
    EXPECT_TRUE(done);
}

}  // namespace
