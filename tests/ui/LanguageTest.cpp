// The language chosen in the settings dialog words the windows from the next
// start on: their captions, their message boxes and Qt's own texts.
#include <QMessageBox>

#include "GuiTest.h"
#include "settings/SavedSettings.h"
#include "ui/GuiMessageSink.h"
#include "ui/Translations.h"
#include "ui/UiTexts.h"

namespace {

class LanguageTest : public GuiTest {
protected:
    void SetUp() override {
        // A French system, whatever the machine's locale.
        testsupport::SetEnv("LC_ALL", "C.UTF-8");
        GuiTest::SetUp();
    }
    void TearDown() override {
        GuiTest::TearDown();
        SpeakLanguage("fr");
    }
    // Closes the windows and builds them again as a start does: the saved
    // choice first.
    void Restart() {
        CloseWindows();
        EXPECT_TRUE(SpeakSavedLanguage(home / "reg"));
        BuildWindows();
    }
    static std::string_view French(TextId id) {
        return texts::Languages()[0].rows[static_cast<size_t>(id)].text;
    }
};

TEST_F(LanguageTest, EnglishChosenInTheSettingsWordsTheWindowsAtTheNextStart) {
    Restart();
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Annuler");
    QTimer::singleShot(0, [this] {
        EXPECT_EQ(param->cboLanguage()->currentText(), UiText(TextId::LanguageAutomatic));
        param->cboLanguage()->setCurrentIndex(static_cast<int>(platform::LanguageChoice::English));
        Click("lblGo");
    });
    Click("lblParam");
    // The windows open now keep their words until the next start.
    EXPECT_EQ(Text("lblAction"), QString::fromUtf8(French(TextId::ActionSplit)));

    Restart();
    const struct {
        const char* widget;
        TextId id;
    } captions[] = {
        {"lblParam", TextId::CaptionSettings},  {"lblAction", TextId::ActionSplit},
        {"lblConvert", TextId::CaptionConvert}, {"lblMd5", TextId::CaptionCreateDigests},
        {"Label9", TextId::CaptionLanguage},    {"Label10", TextId::LanguageAtNextStart},
    };
    for (const auto& caption : captions) {
        SCOPED_TRACE(caption.widget);
        EXPECT_EQ(Text(caption.widget), UiText(caption.id));
        EXPECT_NE(Text(caption.widget), QString::fromUtf8(French(caption.id)));
    }
    EXPECT_EQ(Find<QRadioButton>("rbJoindre")->text(), UiText(TextId::CaptionJoin));
    EXPECT_EQ(MainWindow::ArtworkCaptions()[2].text, UiText(TextId::ArtSourceFile));
    EXPECT_NE(UiText(TextId::ArtSourceFile), QString::fromUtf8(French(TextId::ArtSourceFile)));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Cancel");

    // The action without a file says so in a box, in English.
    GuiMessageSink boxes;
    platform::SetMessageSink(&boxes);
    QString shown, title;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->text();
            title = box->windowTitle();
            QTest::keyClick(box, Qt::Key_Return);
        }
    });
    Click("lblAction");
    platform::SetMessageSink(&sink);
    EXPECT_EQ(shown, DisplayText(texts::Say(TextId::NoFileOpened)));
    EXPECT_NE(shown, DisplayText(French(TextId::NoFileOpened)));
    EXPECT_EQ(title, UiText(TextId::TitleProgram));
}

}  // namespace
