// The message boxes a job asks for: shown over the window the job names as
// their owner, whichever window that is, and over none when it is hidden.
#include <QMessageBox>

#include "GuiTest.h"
#include "ui/GuiMessageSink.h"

namespace {

class MessageBoxTest : public GuiTest {
protected:
    // Shows a message as a job would, answers it with the keyboard and
    // returns the window the box was shown over.
    QWidget* ShownOver(platform::WindowHandle owner) {
        QWidget* parent = nullptr;
        QString text;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                ADD_FAILURE() << "no message box";
                return;
            }
            parent = box->parentWidget();
            text = box->text();
            QTest::keyClick(box, Qt::Key_Return);
        });
        GuiMessageSink().Show(owner, "Première ligne\n\rseconde", "-=Parcelwise=-",
                              platform::Icon::Error);
        EXPECT_EQ(text, QString("Première ligne\nseconde"));
        return parent;
    }
};

TEST_F(MessageBoxTest, ABoxIsShownOverTheWindowThatOwnsIt) {
    processing->show();
    convert->show();
    EXPECT_EQ(ShownOver(main.get()), main.get());
    EXPECT_EQ(ShownOver(processing.get()), processing.get());
    EXPECT_EQ(ShownOver(convert.get()), convert.get());
    EXPECT_EQ(ShownOver(nullptr), nullptr);
}

TEST_F(MessageBoxTest, AHiddenOwnerLeavesTheBoxWithoutOne) {
    processing->hide();
    EXPECT_EQ(ShownOver(processing.get()), nullptr);
}

}  // namespace
