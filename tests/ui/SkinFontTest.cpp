// The skins place their texts in fixed pixels, measured for Arial's widths.
// Every text the program puts in a place must fit it, in the font that the
// system gives for the families the program asks, and in each other of those
// families that the system has, or a system drawing with that one cuts it.
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <map>
#include <set>

#include "GuiTest.h"
#include "core/DisplayNumbers.h"
#include "ui/UiTexts.h"

namespace {

// The texts that work puts in a place, besides those the windows show at
// rest in either mode: the widest of each kind, in the language in use.
struct WorkTexts {
    const char* window;
    const char* widget;
    std::vector<QString> texts;
};
std::vector<WorkTexts> WorkTextsOfLanguage() {
    const QString size = QString::fromStdString(FormatSize(99999 * 1048576LL + 1048000));
    return {
        {"frmMain", "lblTaille", {"999"}},
        {"frmMain", "lblDate", {"28/12/2026"}},
        {"frmMain", "lblExtension", {".001"}},
        {"frmMain", "lblMd5", {UiText(TextId::CaptionCreateSha256)}},
        {"frmProcessing",
         "lblInfo",
         {UiText(TextId::JobSucceeded), UiText(TextId::CreatingDigests),
          UiText(TextId::CheckingDigests), UiText(TextId::PartsCreatedMany, {"999"}),
          UiText(TextId::PartsJoinedMany, {"999"}), UiText(TextId::StatusSplitPaused),
          UiText(TextId::StatusCancelling)}},
        {"frmProcessing",
         "lblPartie",
         {UiText(TextId::JoiningPart, {"999"}), UiText(TextId::DigestOfPart, {"999"}),
          UiText(TextId::CheckingPart, {"999"}), UiText(TextId::ChecksumOfPart, {"999"})}},
        {"frmProcessing", "lblPourcentage", {"100%", "* %", "100 %"}},
        {"frmProcessing", "lblTemps", {"23:59:59"}},
        {"frmProcessing", "lblDone", {size}},
        {"frmProcessing", "lblTest", {UiText(TextId::CaptionPause), UiText(TextId::CaptionResume)}},
        {"frmConvert", "lblTaille", {size}},
        {"frmConvert", "lblDate", {"28/12/2026"}},
        {"frmConvert", "lblMD5", {UiText(TextId::CaptionYes), UiText(TextId::CaptionNo)}},
    };
}
// Names and folders are the user's: they end with "…" where too long.
const std::set<QString> kUserFields = {"frmMain/lblFichier", "frmMain/lblDest",
                                       "frmMain/lblDossier", "frmConvert/lblFichier",
                                       "frmConvert/lblNom"};
// Labels sized to their text, whose place runs to the next widget on their
// right or to the window's edge.
const std::set<QString> kSizedToText = {"frmParam/Label1", "frmParam/Label2",   "frmParam/Label3",
                                        "frmParam/Label5", "frmParam/Label6",   "frmParam/Label7",
                                        "frmParam/Label8", "frmParam/Label9",   "frmParam/Label10",
                                        "frmParam/lblGo",  "frmParam/lblCancel"};

QString Key(const QWidget* widget) {
    return widget->window()->objectName() + "/" + widget->objectName();
}

// The room a widget gives its text.
int Room(const QWidget* widget) {
    if (kSizedToText.count(Key(widget))) {
        const QRect at = widget->geometry();
        int right = widget->window()->width() - 1;
        for (const QWidget* other : widget->parentWidget()->findChildren<QWidget*>(
                 QString(), Qt::FindDirectChildrenOnly)) {
            const QRect there = other->geometry();
            if (other != widget && there.left() >= at.right() && there.top() < at.bottom() &&
                there.bottom() > at.top())
                right = std::min(right, there.left());
        }
        return right - at.left();
    }
    if (auto* radio = qobject_cast<const QRadioButton*>(widget)) {
        QStyleOptionButton option;
        option.initFrom(radio);
        option.text = radio->text();
        return radio->style()
            ->subElementRect(QStyle::SE_RadioButtonContents, &option, radio)
            .width();
    }
    if (auto* combo = qobject_cast<const QComboBox*>(widget)) {
        // The size list draws its text centred over the whole box, clear of
        // its arrow of 9 pixels on the right.
        if (combo->objectName() == "cboMode") return combo->width() - 2 * 9;
        QStyleOptionComboBox option;
        option.initFrom(combo);
        return combo->style()
            ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo)
            .width();
    }
    return static_cast<const QLabel*>(widget)->contentsRect().width();
}

// A text in a widget's place, and the font to measure it with.
struct Placed {
    QString where;  // window/widget
    QString text;
    QFont font;
    int room;
    bool wraps;
    int height;
};

bool Fits(const Placed& placed, const QFont& font) {
    const QFontMetrics metrics(font);
    if (placed.wraps)
        return metrics.boundingRect(QRect(0, 0, placed.room, 1000), Qt::TextWordWrap, placed.text)
                   .height() <= placed.height;
    return metrics.horizontalAdvance(placed.text) <= placed.room;
}

// The fonts to measure with: the one the system gives for what the program
// asks, then each other family it asks that the system has.
std::vector<QFont> FontsFor(const QFont& asked) {
    std::vector<QFont> fonts{asked};
    const QString drawn = QFontInfo(asked).family();
    for (const QString& family : asked.families()) {
        if (family == drawn || !QFontDatabase::families().contains(family)) continue;
        QFont standIn = asked;
        standIn.setFamilies({family});
        fonts.push_back(standIn);
    }
    return fonts;
}

// Every catalogue: the windows are built in the language under test.
// Under Wine the static Qt of the Windows build draws the texts but names no
// family for the fonts it draws them in, so nothing here can be measured
// against the families asked; the screenshots of the Windows smoke test show
// those windows instead.
bool FontsGoUnnamed() {
    return QFontInfo(SkinFont(12, false, "Arial")).family().isEmpty();
}

class SkinFontTest : public GuiTest, public ::testing::WithParamInterface<std::string_view> {
protected:
    void SetUp() override {
        ASSERT_TRUE(texts::UseLanguage(GetParam()));
        GuiTest::SetUp();
        if (FontsGoUnnamed()) GTEST_SKIP() << "this platform names no font family";
    }
    void TearDown() override {
        GuiTest::TearDown();
        texts::UseLanguage("fr");
    }
    // Every text of the four windows at rest, in split then join mode, and
    // every text of kWorkTexts.
    std::vector<Placed> AllTexts() {
        std::vector<Placed> all;
        std::map<QString, QWidget*> widgets;
        auto add = [&](QWidget* widget, const QString& text) {
            if (text.isEmpty() || kUserFields.count(Key(widget))) return;
            auto* label = qobject_cast<QLabel*>(widget);
            const bool wraps = label != nullptr && label->wordWrap();
            all.push_back({Key(widget), text, widget->font(), Room(widget), wraps,
                           label ? label->contentsRect().height() : widget->height()});
        };
        auto gather = [&] {
            for (QWidget* window :
                 {static_cast<QWidget*>(main.get()), static_cast<QWidget*>(processing.get()),
                  static_cast<QWidget*>(param.get()), static_cast<QWidget*>(convert.get())}) {
                for (QWidget* widget : window->findChildren<QWidget*>()) {
                    widgets[Key(widget)] = widget;
                    if (auto* label = qobject_cast<QLabel*>(widget)) add(widget, label->text());
                    if (auto* button = qobject_cast<QAbstractButton*>(widget))
                        add(widget, button->text());
                    if (auto* combo = qobject_cast<QComboBox*>(widget))
                        for (int i = 0; i < combo->count(); ++i) add(widget, combo->itemText(i));
                }
            }
        };
        gather();
        processing->ResetDisplay();
        gather();
        Click("rbJoindre");
        gather();
        for (const WorkTexts& row : WorkTextsOfLanguage()) {
            const QString key = QString(row.window) + "/" + row.widget;
            if (!widgets.count(key)) {
                ADD_FAILURE() << "no widget " << key.toStdString();
                continue;
            }
            for (const QString& text : row.texts) add(widgets[key], text);
        }
        return all;
    }
};

TEST_P(SkinFontTest, EveryTextFitsItsPlaceInTheFontAskedAndInItsStandIns) {
    std::set<QString> standInsMeasured;
    for (const Placed& placed : AllTexts()) {
        SCOPED_TRACE(placed.where.toStdString() + ": \"" + placed.text.toStdString() + "\"");
        // A system without any of the families draws in a wider font: the
        // windows are then cut whatever their places.
        const QString drawn = QFontInfo(placed.font).family();
        ASSERT_TRUE(placed.font.families().contains(drawn))
            << "drawn in " << drawn.toStdString() << ", none of "
            << placed.font.families().join(", ").toStdString()
            << " is installed (fonts-liberation2 has Liberation Sans)";
        for (const QFont& font : FontsFor(placed.font)) {
            const QString family = QFontInfo(font).family();
            if (family != drawn) standInsMeasured.insert(family);
            EXPECT_TRUE(Fits(placed, font))
                << "wider than its " << placed.room << " pixels in " << family.toStdString() << ": "
                << QFontMetrics(font).horizontalAdvance(placed.text);
        }
    }
    // Without a stand-in installed, the test would measure one font only.
    EXPECT_FALSE(standInsMeasured.empty())
        << "no second font of Arial's widths to measure with (fonts-croscore has Arimo)";
}

// The measure sees the fault it guards against: with Debian's fallback font
// the skins' texts are cut.
TEST_P(SkinFontTest, TheWiderFontOfASystemWithoutTheFamiliesIsSeen) {
    if (!QFontDatabase::families().contains("DejaVu Sans")) GTEST_SKIP() << "no DejaVu Sans";
    std::vector<std::string> cut;
    for (const Placed& placed : AllTexts()) {
        QFont dejaVu = placed.font;
        dejaVu.setFamilies({"DejaVu Sans"});
        if (!Fits(placed, dejaVu)) cut.push_back(placed.where.toStdString());
    }
    EXPECT_FALSE(cut.empty());
}

// The captions written on the artwork: each stays between what lies on either
// side of it in the picture, whichever family draws it.
struct ArtworkText {
    const char* picture;
    TextId text;
    double left, right;  // the room from the picture's next shapes
};
const ArtworkText kArtworkTexts[] = {
    {"main", TextId::ProductName, 0, 193},  // then "v1.1"
    {"main", TextId::ArtVersion, 84, 380},  // then the help button
    {"main", TextId::ArtSourceFile, 0, 152.5},
    {"main", TextId::ArtDestinationFile, 0, 152.5},
    {"main", TextId::ArtDestinationFolder, 0, 152.5},
    {"convert", TextId::ArtConvertTitle, 30, 385},
    {"convert", TextId::ArtFileToConvert, 0, 120.5},
    {"convert", TextId::ArtOriginalName, 0, 81.5},
    {"convert", TextId::ArtSize, 0, 45.5},
    {"convert", TextId::ArtDate, 116.5, 154.5},
    {"convert", TextId::ArtDigest, 225.5, 302.5},
};

class SkinFontArtworkTest : public ::testing::TestWithParam<std::string_view> {};

// The captions written on a window's artwork, by their text.
std::map<QString, ArtworkCaption> CaptionsOf(const QString& picture) {
    std::map<QString, ArtworkCaption> captions;
    const std::vector<ArtworkCaption> drawn =
        picture == "main" ? MainWindow::ArtworkCaptions() : ConvertWindow::ArtworkCaptions();
    for (const ArtworkCaption& caption : drawn) captions[caption.text] = caption;
    return captions;
}

TEST_P(SkinFontArtworkTest, EveryTextOfThePicturesStaysInItsRoom) {
    if (FontsGoUnnamed()) GTEST_SKIP() << "this platform names no font family";
    ASSERT_TRUE(texts::UseLanguage(GetParam()));
    for (const ArtworkText& row : kArtworkTexts) {
        const QString text = UiText(row.text);
        SCOPED_TRACE(std::string(row.picture) + ": " + text.toStdString());
        const auto captions = CaptionsOf(row.picture);
        const auto found = captions.find(text);
        ASSERT_NE(found, captions.end()) << "no such caption on the picture";
        const ArtworkCaption& drawn = found->second;
        const QFont painted = SkinFont(drawn.pixelSize, drawn.bold);
        for (const QFont& font : FontsFor(painted)) {
            const double width = QFontMetricsF(font).horizontalAdvance(found->first);
            const double left = drawn.endsAtX ? drawn.x - width : drawn.x;
            const double right = drawn.endsAtX ? drawn.x : drawn.x + width;
            EXPECT_GE(left, row.left) << QFontInfo(font).family().toStdString();
            EXPECT_LE(right, row.right) << QFontInfo(font).family().toStdString();
        }
        // The font the caption is painted with is one of the skin's families.
        EXPECT_TRUE(SkinFamilies("Arial").contains(QFontInfo(painted).family()))
            << QFontInfo(painted).family().toStdString();
    }
    texts::UseLanguage("fr");
}

INSTANTIATE_TEST_SUITE_P(EveryLanguage, SkinFontTest,
                         ::testing::ValuesIn(testsupport::LanguageCodes()),
                         testsupport::LanguageName);
INSTANTIATE_TEST_SUITE_P(EveryLanguage, SkinFontArtworkTest,
                         ::testing::ValuesIn(testsupport::LanguageCodes()),
                         testsupport::LanguageName);

// No picture writes a text itself: a text drawn inside a picture could not be
// translated, and a caption of the code drawn over it would be drawn twice.
TEST(SkinFontArtwork, NoPictureHoldsAText) {
    const QDir sources(PCW_ARTWORK_SOURCES);
    const QStringList pictures = sources.entryList({"*.svg"});
    ASSERT_FALSE(pictures.empty());
    for (const QString& name : pictures) {
        QFile file(sources.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        EXPECT_FALSE(file.readAll().contains("<text")) << name.toStdString();
    }
}

}  // namespace
