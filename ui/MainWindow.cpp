#include "ui/MainWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMimeData>
#include <QPainter>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTimer>
#include <charconv>

#include "core/DisplayNumbers.h"
#include "core/SplitSize.h"
#include "formats/FormatTable.h"
#include "formats/Workflow.h"
#include "formats/native/NativeSet.h"
#include "formats/plain/PlainSet.h"
#include "formats/recovery/RecoverySteps.h"
#include "platform/File.h"
#include "platform/Fs.h"
#include "platform/Messages.h"
#include "platform/Reasons.h"
#include "settings/SavedSettings.h"
#include "ui/ConvertWindow.h"
#include "ui/JobFactory.h"
#include "ui/ProgressWindow.h"
#include "ui/Seams.h"
#include "ui/SettingsDialog.h"
#include "ui/SizePresetMenu.h"
#include "ui/Skin.h"
#include "ui/UiTexts.h"

using workflow::Direction;

namespace {

const QColor kActionColor(0x43, 0x72, 0xC0);

// After a set was refused: whether its recovery parts could repair it first.
void SayWhetherRepairable(const std::string& path, platform::WindowHandle owner) {
    if (const std::optional<std::string> line = workflow::RepairFirstLine(path))
        platform::ShowMessage(owner, *line, texts::Say(TextId::TitleProgram), platform::Icon::Info);
}

std::string Utf8(const QString& text) {
    return text.toUtf8().toStdString();
}
QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString ShortDate(const QDate& date) {
    return QLocale().toString(date, QLocale::ShortFormat);
}

// The size list's items, painted as the skin wants them: a light fill per item
// and the text centred in black.
void PaintModeItem(QPainter* painter, const QRect& rect, int index, const QString& text) {
    painter->save();
    painter->setPen(Qt::black);
    painter->setBrush(index == 0 ? QColor(0xEE, 0xEE, 0xFF) : QColor(0xDD, 0xDD, 0xFF));
    painter->drawRect(rect.adjusted(0, 0, -1, -1));
    painter->setFont(SkinFont(11, true));
    painter->drawText(rect.adjusted(0, 1, 0, -1), Qt::AlignHCenter | Qt::AlignVCenter, text);
    painter->restore();
}

class ModeItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        PaintModeItem(painter, option.rect, index.row(), index.data().toString());
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width(), 15);
    }
};

class ModeCombo : public QComboBox {
public:
    using QComboBox::QComboBox;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        // Greyed as a whole when disabled, like the labels around it.
        painter.setOpacity(isEnabled() ? 1.0 : 0.45);
        PaintModeItem(&painter, rect(), currentIndex(), currentText());
        if (hasFocus()) {
            painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(rect().adjusted(2, 2, -3, -3));
        }
        // A small arrow keeps it recognisable as a list.
        QPolygon arrow({QPoint(width() - 9, height() / 2 - 2),
                        QPoint(width() - 3, height() / 2 - 2),
                        QPoint(width() - 6, height() / 2 + 2)});
        painter.setBrush(Qt::black);
        painter.drawPolygon(arrow);
    }
};

ClickLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, QRect at,
                      LabelStyle style, bool hand = true) {
    auto* label = new ClickLabel(parent, hand);
    label->setObjectName(name);
    label->setText(text);
    Style(label, style);
    Place(label, at.x(), at.y(), at.width(), at.height());
    return label;
}

}  // namespace

MainWindow::MainWindow(std::vector<std::string> args, std::string programPath,
                       std::string registryFolder) {
    setObjectName("frmMain");
    setWindowTitle(UiText(TextId::TitleMainWindow));
    MakeSkinned(this, 450, 275);
    setFont(SkinFont(11, false));
    setStyleSheet("MainWindow { background: white; }");
    DragsWindow(this);
    setAcceptDrops(true);

    const LabelStyle white{11, true};
    lblQuitter_ = MakeLabel(this, "lblQuitter", "x", {428, 9, 8, 12}, white);
    lblQuitter_->setToolTip(UiText(TextId::TipQuit));
    lblMin_ = MakeLabel(this, "lblMin", "-", {407, 9, 5, 17}, {12, true, "#FFFFFF", "Arial Black"});
    lblMin_->setToolTip(UiText(TextId::TipMinimise));
    lblAide_ = MakeLabel(this, "lblAide", "?", {383, 10, 10, 15},
                         {11, true, "#FFFFFF", "Arial", Qt::AlignCenter});
    lblAide_->setToolTip(UiText(TextId::TipAbout));
    lblParam_ = MakeLabel(this, "lblParam", UiText(TextId::CaptionSettings), {363, 59, 68, 14},
                          {11, false, "#FFFFFF", "Arial", Qt::AlignCenter});

    const QString radioStyle =
        "QRadioButton { color: white; background: #3E5584; }"
        "QRadioButton:disabled { color: rgba(255, 255, 255, 110); }"
        "QRadioButton:focus { border: 1px dotted white; }";
    rbCouper_ = new QRadioButton(UiText(TextId::CaptionSplit), this);
    rbCouper_->setObjectName("rbCouper");
    rbJoindre_ = new QRadioButton(UiText(TextId::CaptionJoin), this);
    rbJoindre_->setObjectName("rbJoindre");
    for (QRadioButton* rb : {rbCouper_, rbJoindre_}) {
        rb->setFont(SkinFont(13, true));
        rb->setStyleSheet(radioStyle);
        rb->setCursor(Qt::PointingHandCursor);
    }
    Place(rbCouper_, 138, 57, 72, 17);
    Place(rbJoindre_, 245, 57, 68, 17);
    rbCouper_->setToolTip(UiText(TextId::TipSplit));
    rbJoindre_->setToolTip(UiText(TextId::TipJoin));

    lblFichier_ = MakeLabel(this, "lblFichier", "", {157, 97, 234, 14}, white);
    lblOuvrir_ = MakeLabel(this, "lblOuvrir", "...", {404, 97, 27, 14},
                           {11, true, "#FFFFFF", "Arial", Qt::AlignCenter});
    lblOuvrir_->setToolTip(UiText(TextId::TipOpen));
    lblDest_ = MakeLabel(this, "lblDest", "", {157, 127, 234, 14},
                         {11, true, "#FFFFFF", "Arial", Qt::AlignRight | Qt::AlignVCenter});
    lblExtension_ = MakeLabel(this, "lblExtension", ".001.pcw", {395, 127, 45, 14},
                              {11, false, "#FFFFFF", "Arial", Qt::AlignCenter}, false);
    lblDossier_ = MakeLabel(this, "lblDossier", "", {157, 153, 234, 14}, white, false);
    lblChangerDossier_ = MakeLabel(this, "lblChangerDossier", "...", {404, 153, 27, 14},
                                   {11, true, "#FFFFFF", "Arial", Qt::AlignCenter});
    lblChangerDossier_->setToolTip(UiText(TextId::TipChangeFolder));
    for (QLabel* l :
         {static_cast<QLabel*>(lblFichier_), static_cast<QLabel*>(lblDest_), lblDossier_})
        l->setTextFormat(Qt::PlainText);
    // Screen readers name the fields by the captions painted beside them.
    lblFichier_->setAccessibleName(UiText(TextId::ArtSourceFile));
    lblDest_->setAccessibleName(UiText(TextId::ArtDestinationFile));
    lblDossier_->setAccessibleName(UiText(TextId::ArtDestinationFolder));

    cboMode_ = new ModeCombo(this);
    cboMode_->setObjectName("cboMode");
    cboMode_->addItems({UiText(TextId::ModeBySize), UiText(TextId::ModeByCount)});
    cboMode_->setItemDelegate(new ModeItemDelegate(cboMode_));
    cboMode_->setFont(SkinFont(11, true));
    cboMode_->setToolTip(UiText(TextId::TipChooseMode));
    Place(cboMode_, 46, 192, 72, 21);

    lblTaille_ = MakeLabel(this, "lblTaille", "15", {120, 196, 31, 15},
                           {12, true, "#FFFFFF", "Arial", Qt::AlignRight | Qt::AlignVCenter});
    lblMo_ = MakeLabel(this, "lblMo", UiText(TextId::CaptionMegabytes), {154, 197, 17, 14}, white,
                       false);
    lblMo_->hide();
    lblDate_ = MakeLabel(this, "lblDate", "", {218, 196, 62, 15},
                         {12, true, "#FFFFFF", "Arial", Qt::AlignRight | Qt::AlignVCenter}, false);

    chkMD5_ = new QCheckBox(this);
    chkMD5_->setObjectName("chkMD5");
    chkMD5_->setCursor(Qt::PointingHandCursor);
    Place(chkMD5_, 300, 195, 13, 14);
    lblMd5_ = MakeLabel(this, "lblMd5", UiText(TextId::CaptionCreateDigests), {318, 195, 114, 15},
                        {12, true});

    lblAction_ = MakeLabel(this, "lblAction", UiText(TextId::ActionSplit), {179, 237, 113, 17},
                           {12, false, kActionColor.name(), "Arial Black", Qt::AlignCenter});
    lblConvert_ = MakeLabel(this, "lblConvert", UiText(TextId::CaptionConvert), {15, 238, 73, 14},
                            {11, false, "#000000", "Arial", Qt::AlignCenter});
    lblConvert_->setToolTip(UiText(TextId::TipConvert));

    edTemp_ = new QLineEdit(this);
    edTemp_->setObjectName("edTemp");
    edTemp_->setFrame(false);
    edTemp_->setMaxLength(255);
    edTemp_->setCursor(Qt::WhatsThisCursor);
    edTemp_->setToolTip(UiText(TextId::TipEditor));
    Place(edTemp_, 43, 165, 65, 20);
    edTemp_->hide();
    edTemp_->installEventFilter(this);

    // Reading order, row by row; the editor comes first while it is open.
    QWidget* chain[] = {
        edTemp_,    lblAide_,    lblMin_,     lblQuitter_, rbCouper_,          rbJoindre_,
        lblParam_,  lblFichier_, lblOuvrir_,  lblDest_,    lblChangerDossier_, cboMode_,
        lblTaille_, chkMD5_,     lblConvert_, lblAction_};
    for (size_t i = 1; i < std::size(chain); ++i) setTabOrder(chain[i - 1], chain[i]);
    lblMd5_->setFocusPolicy(Qt::NoFocus);  // its box takes the focus for it

    // The background drags the window, and so do the labels that do not click.
    for (QWidget* w : {static_cast<QWidget*>(lblDossier_), static_cast<QWidget*>(lblMd5_),
                       static_cast<QWidget*>(lblDate_)})
        DragsWindow(w);

    connect(lblQuitter_, &ClickLabel::clicked, this, &MainWindow::Quit);
    connect(lblMin_, &ClickLabel::clicked, this, &MainWindow::Minimise);
    connect(lblAide_, &ClickLabel::clicked, this, &MainWindow::ShowAbout);
    connect(lblParam_, &ClickLabel::clicked, this, &MainWindow::OpenSettings);
    connect(rbCouper_, &QRadioButton::clicked, this, &MainWindow::ChooseSplitMode);
    connect(rbJoindre_, &QRadioButton::clicked, this, &MainWindow::ChooseJoinMode);
    connect(lblOuvrir_, &ClickLabel::clicked, this, &MainWindow::BrowseForSource);
    connect(lblFichier_, &ClickLabel::clicked, this, &MainWindow::EditStoredName);
    connect(lblDest_, &ClickLabel::clicked, this, &MainWindow::EditDestName);
    connect(lblTaille_, &ClickLabel::clicked, this, &MainWindow::EditSize);
    lblTaille_->setToolTip(UiText(TextId::TipSizePresets));
    lblTaille_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lblTaille_, &QWidget::customContextMenuRequested, this, &MainWindow::ShowSizePresets);
    mnuPresets_ = MakeSizePresetMenu(this, [this](int64_t bytes, const QString& name) {
        presetBytes_ = bytes;
        lblTaille_->setText(name);
        lblTaille_->setToolTip(UiText(TextId::PresetEntry, {Utf8(name), std::to_string(bytes)}));
        // The name takes the room of the unit, never that of the mode's list.
        lblMo_->hide();
        Place(lblTaille_, 120, 196, 51, 15);
    });
    connect(lblChangerDossier_, &ClickLabel::clicked, this, &MainWindow::ChooseDestFolder);
    connect(cboMode_, &QComboBox::activated, this, &MainWindow::ChangeSizeMode);
    connect(lblMd5_, &ClickLabel::clicked, this, &MainWindow::ToggleDigests);
    connect(lblAction_, &ClickLabel::clicked, this, &MainWindow::StartAction);
    // The hover colour keeps the label's disabled look.
    connect(lblAction_, &ClickLabel::hovered, this, [this] {
        Style(lblAction_, {12, false, "#FFFFFF", "Arial Black", Qt::AlignCenter});
    });
    connect(lblAction_, &ClickLabel::left, this, [this] {
        Style(lblAction_, {12, false, kActionColor.name(), "Arial Black", Qt::AlignCenter});
    });
    connect(lblConvert_, &ClickLabel::clicked, this, &MainWindow::OpenConvertWindow);

    Build(std::move(args), std::move(programPath), std::move(registryFolder));
}

MainWindow::~MainWindow() {
    if (job) {
        job->Resume();
        job->WaitForWorker();
    }
}

void MainWindow::Build(std::vector<std::string> args, std::string programPath,
                       std::string registryFolder) {
    cboMode_->setCurrentIndex(kSizeModeTaille);
    params = std::make_unique<SavedSettings>(std::move(args), std::move(programPath),
                                             std::move(registryFolder));
    params->LoadSettings(platform::ShowAfter(this));
    ShowModeDefaults();
}

void MainWindow::SetWindows(ProgressWindow* processing, SettingsDialog* param,
                            ConvertWindow* convert) {
    frmProcessing_ = processing;
    frmParam_ = param;
    frmConvert_ = convert;
    if (frmProcessing_)
        connect(frmProcessing_, &ProgressWindow::jobClosed, this, [this] { SetMode(mode); });
}

void MainWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    ClipToSkinShape(painter, this);
    painter.fillRect(rect(), Qt::white);
    PaintArtwork(painter, "main", rect());
    PaintCaptions(painter, {450, 275}, rect(), ArtworkCaptions());
}

std::vector<ArtworkCaption> MainWindow::ArtworkCaptions() {
    const QColor field(0x4A, 0x4A, 0x4A);
    return {{UiText(TextId::ProductName), 84, 30, 20, true, Qt::white},
            {UiText(TextId::ArtVersion), 193, 30, 13, true, QColor(0x9F, 0xB6, 0xE6)},
            {UiText(TextId::ArtSourceFile), 15, 108, 11, true, field},
            {UiText(TextId::ArtDestinationFile), 15, 138, 11, true, field},
            {UiText(TextId::ArtDestinationFolder), 15, 164, 11, true, field}};
}

void MainWindow::setVisible(bool visible) {
    if (visible && !std::exchange(placed_, true))
        if (QScreen* screen = this->screen())
            CentreWindow(this, screen->availableGeometry().center());
    QWidget::setVisible(visible);
}

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (activated_) return;
    // Without a window manager the window may never be told it is active.
    QTimer::singleShot(0, this, [this] {
        if (!activated_) {
            activated_ = true;
            FirstActivation();
        }
    });
}

void MainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && comingBack_ && isMinimized())
        QTimer::singleShot(0, this, [this] {
            if (comingBack_) ComeBack();
        });
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !activated_) {
        activated_ = true;
        FirstActivation();
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    params->SaveSettings();
    QWidget::closeEvent(event);
}

void MainWindow::FirstActivation() {
    activated_ = true;
    if (params->HasStartupFile()) {
        SetMode(Direction::Join);
        OpenStartupFile(params->StartupFile());
    } else {
        SetMode(Direction::Split);
        EnableControls(true);
    }
    // The keyboard starts on the mode, not on the quit button, and its mark
    // shows from the start rather than after the first Tab.
    setAttribute(Qt::WA_KeyboardFocusChange);
    (mode == Direction::Split ? rbCouper_ : rbJoindre_)->setFocus(Qt::OtherFocusReason);
}

void MainWindow::Message(const QString& text, const QString& title, platform::Icon icon) {
    platform::ShowMessage(this, Utf8(text), Utf8(title), icon);
}

void MainWindow::ReplaceJob(std::unique_ptr<Job> next) {
    job = std::move(next);
}

void MainWindow::SetLabel(QLabel* label, const QString& text, const QString& hint) {
    label->setText(text);
    label->setToolTip(hint);
}

// Split mode keeps the size label's right edge at 151 px; join mode sizes it
// to its text, growing to the left.
void MainWindow::PlaceSizeLabel() {
    if (!sizeAutoWidth_) {
        Place(lblTaille_, 120, 196, 31, 15);
        return;
    }
    int width = std::max(31, lblTaille_->fontMetrics().horizontalAdvance(lblTaille_->text()) + 2);
    Place(lblTaille_, 151 - width, 196, width, 15);
}

void MainWindow::ShowModeDefaults() {
    SetLabel(lblFichier_, "", "");
    SetLabel(lblDest_, "", "");
    SetLabel(lblDossier_, "", "");
    {
        QSignalBlocker quiet(cboMode_);
        cboMode_->setCurrentIndex(std::clamp(params->sizeMode, kSizeModeTaille, kSizeModeNombre));
    }
    presetBytes_ = 0;
    lblTaille_->setToolTip(UiText(TextId::TipSizePresets));
    if (mode == Direction::Join) {
        lblAction_->setText(UiText(TextId::ActionJoin));
        lblTaille_->setText("");
        sizeAutoWidth_ = true;
        Place(lblTaille_, 120, 196, 31, 15);
        lblDate_->setText("");
        chkMD5_->setChecked(false);
        chkMD5_->setEnabled(false);
        lblMd5_->setText(UiText(TextId::CaptionCheckDigests));
        lblMd5_->setEnabled(false);
    } else {
        lblAction_->setText(UiText(TextId::ActionSplit));
        lblTaille_->setText(QString::number(params->defaultSize));
        PlaceSizeLabel();
        lblMo_->setVisible(params->sizeMode == kSizeModeTaille);
        lblDate_->setText(ShortDate(QDate::currentDate()));
        chkMD5_->setChecked(false);
        chkMD5_->setEnabled(true);
        ShowSplitFormat();
        lblMd5_->setEnabled(true);
    }
    // The box is named by its caption, which is a label of its own.
    chkMD5_->setAccessibleName(lblMd5_->text());
}

void MainWindow::ShowSplitFormat() {
    lblExtension_->setText(params->plainSets ? ".001" : ".001.pcw");
    lblMd5_->setText(UiText(params->plainSets && params->plainSha256
                                ? TextId::CaptionCreateSha256
                                : TextId::CaptionCreateDigests));
    chkMD5_->setAccessibleName(lblMd5_->text());
}

int64_t MainWindow::LargestSplitPart() const {
    // Far above any file system's largest file: the check of the destination
    // names the real limit.
    return params->plainSets ? INT64_MAX : kLargestPart;
}

void MainWindow::MatchSplitJobToSettings() {
    if (mode != Direction::Split || !job || !job->opened) return;
    if ((job->formatKind != FormatKind::Native) == params->plainSets) return;
    std::unique_ptr<Job> next = CreateSplitJob(params->plainSets);
    workflow::TakeSourceToSplit(*next, job->sourcePath, job->sourceSize);
    next->choices = job->choices;
    ReplaceJob(std::move(next));
}

void MainWindow::SetMode(Direction m) {
    cboMode_->setVisible(m == Direction::Split);
    lblMo_->setVisible(m == Direction::Split);
    lblExtension_->setVisible(m == Direction::Split);
    mode = m;
    rbCouper_->setChecked(m == Direction::Split);
    rbJoindre_->setChecked(m == Direction::Join);
    if (job) job->Reset();
    ShowModeDefaults();
}

void MainWindow::EnableControls(bool on) {
    for (QWidget* w : std::initializer_list<QWidget*>{
             lblQuitter_, rbCouper_, rbJoindre_, lblFichier_, lblOuvrir_, lblDest_, lblDossier_,
             lblChangerDossier_, cboMode_, lblTaille_})
        w->setEnabled(on);
    if (mode == Direction::Split) {
        lblMo_->setEnabled(on);
        lblMd5_->setEnabled(on);
        chkMD5_->setEnabled(on);
    } else if (job && job->formatKind == FormatKind::Native) {
        auto* native = dynamic_cast<NativeSet*>(job.get());
        const bool digests = on && native && native->header.hasDigests == 1;
        lblMd5_->setEnabled(digests);
        chkMD5_->setEnabled(digests);
    }
    lblAction_->setEnabled(on);
}

// --- Opening a source

bool MainWindow::OpenSource(Direction forMode, bool& accepted) {
    const bool split = forMode == Direction::Split;
    if (split) ReplaceJob(CreateSplitJob(params->plainSets));
    auto choice = FileDialogs::GetOpenFile(this, split ? SplitFilters() : JoinFilters());
    if (!choice) return false;
    const std::string path = Utf8(choice->path);
    if (!split && choice->filterIndex == kAnyKnownSetEntry) {
        const workflow::Opening opening = OpenFoundSet(workflow::FindKind(path));
        accepted = opening == workflow::Opening::Opened;
        return opening != workflow::Opening::Unopenable;
    }
    if (!split) {
        std::unique_ptr<Job> next = CreateJoinJob(choice->filterIndex);
        if (!next) {
            Message(UiText(TextId::FormatNotSupported), UiText(TextId::TitleFormatUnavailable),
                    platform::Icon::Info);
            return false;
        }
        ReplaceJob(std::move(next));
    }
    if (split) return workflow::OpenFileToSplit(*job, path, platform::ShowAfter(this));
    // A set that was read and refused still shows what is left of it.
    const workflow::Opening opening = OpenInJob(path);
    accepted = opening == workflow::Opening::Opened;
    return opening != workflow::Opening::Unopenable;
}

workflow::Opening MainWindow::OpenFoundSet(const workflow::FoundKind& found) {
    if (found.formats.size() != 1) {
        if (OpenFromRecoveryParts(found.detection.path)) return workflow::Opening::Opened;
        workflow::SayNoSingleKind(found, workflow::Audience::Window, platform::ShowAfter(this));
        return workflow::Opening::Unopenable;
    }
    ReplaceJob(found.formats.front()->make());
    return OpenInJob(found.detection.path);
}

workflow::Opening MainWindow::OpenInJob(const std::string& path) {
    Messages refusal;
    const workflow::Opening opening = workflow::OpenChosenSet(*job, path, refusal);
    if (opening != workflow::Opening::Opened && OpenFromRecoveryParts(path))
        return workflow::Opening::Opened;
    platform::ShowMessages(this, refusal);
    if (opening != workflow::Opening::Opened) SayWhetherRepairable(path, this);
    return opening;
}

bool MainWindow::OpenFromRecoveryParts(const std::string& path) {
    Messages said;
    std::unique_ptr<Job> opened =
        workflow::OpenWithRecoveryParts(path, workflow::Audience::Window, said);
    if (!opened) return false;
    ReplaceJob(std::move(opened));
    platform::ShowMessages(this, said);
    return true;
}

void MainWindow::ShowOpenedSet(bool accepted) {
    if (job->formatKind == FormatKind::Native) {
        auto* native = static_cast<NativeSet*>(job.get());
        if (accepted) {
            SetLabel(lblDest_, FromUtf8(native->header.originalName),
                     FromUtf8(native->header.originalName));
            lblTaille_->setText(FromUtf8(FormatSize(native->header.originalSize)));
            PlaceSizeLabel();
            lblDate_->setText(ShortDate(DateOfDayCount(native->header.splitDate)));
            // The caption goes with its box: greyed, it must not tick it.
            const bool digests = native->header.hasDigests == 1;
            lblMd5_->setEnabled(digests);
            chkMD5_->setChecked(digests);
            chkMD5_->setEnabled(digests);
        }
    } else if (accepted) {
        SetLabel(lblDest_, FromUtf8(job->choices.fileName), FromUtf8(job->choices.fileName));
        lblTaille_->setText(FromUtf8(FormatSize(job->RebuiltSize())));
        PlaceSizeLabel();
        lblMd5_->setEnabled(false);
        chkMD5_->setChecked(false);
        chkMD5_->setEnabled(false);
    } else {
        ShowModeDefaults();
    }
    SetLabel(lblDossier_, FromUtf8(job->choices.folder), FromUtf8(job->choices.folder));
}

void MainWindow::ShowSource(bool accepted) {
    if (mode == Direction::Split) {
        SetLabel(lblDossier_, FromUtf8(job->choices.folder), FromUtf8(job->choices.folder));
        SetLabel(lblDest_, FromUtf8(job->choices.fileName), FromUtf8(job->choices.fileName));
    } else {
        ShowOpenedSet(accepted);
    }
    SetLabel(lblFichier_, FromUtf8(platform::FileNameOf(job->sourcePath)),
             FromUtf8(job->sourcePath));
}

void MainWindow::BrowseForSource() {
    bool accepted = false;
    if (!OpenSource(mode, accepted)) {
        // No source any more, so none on screen either.
        if (!job || !job->opened) ShowModeDefaults();
        return;
    }
    ShowSource(accepted);
}

void MainWindow::OpenStartupFile(const std::string& path) {
    ShowFoundSet(workflow::FindKind(path));
}

void MainWindow::ShowFoundSet(const workflow::FoundKind& found) {
    const workflow::Opening opening = OpenFoundSet(found);
    if (opening != workflow::Opening::Unopenable) ShowSource(opening == workflow::Opening::Opened);
}

void MainWindow::OpenDropped(const std::string& path) {
    // Read once: the same answer picks the mode and opens the set.
    if (workflow::FoundKind found = workflow::FindKind(path); !found.formats.empty()) {
        SetMode(Direction::Join);
        ShowFoundSet(found);
        return;
    }
    SetMode(Direction::Split);
    ReplaceJob(CreateSplitJob(params->plainSets));
    if (workflow::OpenFileToSplit(*job, path, platform::ShowAfter(this))) ShowSource(true);
}

namespace {

// The one local file that a drag carries; nothing for several, none or others.
std::optional<QString> DraggedFile(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1) return std::nullopt;
    const QUrl url = data->urls().front();
    if (!url.isLocalFile()) return std::nullopt;
    // A URL's path has "/" on every system.
    return QDir::toNativeSeparators(url.toLocalFile());
}

}  // namespace

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    // Not while a name is being edited: the window takes no new source then.
    if (DraggedFile(event->mimeData()) && rbCouper_->isEnabled()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const std::optional<QString> path = DraggedFile(event->mimeData());
    if (!path || !rbCouper_->isEnabled()) return;
    event->acceptProposedAction();
    // The drag ends first: its source would wait on any message shown here.
    QTimer::singleShot(0, this, [this, file = Utf8(*path)] { OpenDropped(file); });
}

// --- The in-place editor

void MainWindow::OpenEditor(QLabel* label, int target) {
    const QRect at = label->geometry();
    focusBefore_ = focusWidget();
    EnableControls(false);
    editTarget = static_cast<uint8_t>(target);
    edTemp_->setText(label->text());
    edTemp_->setGeometry(at);
    edTemp_->show();
    edTemp_->raise();
    edTemp_->setFocus();
    edTemp_->selectAll();
}

void MainWindow::CloseEditor() {
    edTemp_->hide();
    EnableControls(true);
    RestoreFocus();
}

// The keyboard goes back to the control it left for the editor or a job.
void MainWindow::RestoreFocus() {
    if (QWidget* before = focusBefore_.data(); before && before->isEnabled() && before->isVisible())
        before->setFocus(Qt::OtherFocusReason);
    focusBefore_ = nullptr;
}

void MainWindow::EditStoredName() {
    if (job && job->opened && rbCouper_->isChecked()) OpenEditor(lblFichier_, kEditFileName);
}

void MainWindow::EditDestName() {
    if (job && job->opened) OpenEditor(lblDest_, kEditDestName);
}

void MainWindow::EditSize() {
    if (mode == Direction::Split && job && job->opened) OpenEditor(lblTaille_, kEditSize);
}

void MainWindow::ShowSizePresets(const QPoint& at) {
    if (mode == Direction::Split && job && job->opened) {
        FitSizePresets(mnuPresets_, LargestSplitPart());
        mnuPresets_->popup(lblTaille_->mapToGlobal(at));
    }
}

namespace {
// What a file name may not hold; a name holding a separator would lead the
// job into another folder.
constexpr QStringView kNotInNames = u"\"*/:<>?\\|";
}  // namespace

bool MainWindow::EditorKeyPress(int key, QChar typed) {
    const bool control = key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Backspace;
    if (editTarget == kEditSize) {
        if (!control && !(typed >= u'0' && typed <= u'9')) return false;
    } else if (!control && kNotInNames.contains(typed)) {
        return false;
    }
    if (key == Qt::Key_Escape) {
        CloseEditor();
        return false;
    }
    if (key != Qt::Key_Return) return true;

    QString entry = edTemp_->text();
    // Pasted text did not pass the key filter.
    if (editTarget != kEditSize) entry.removeIf([](QChar ch) { return kNotInNames.contains(ch); });
    if (entry.isEmpty()) return false;
    switch (editTarget) {
        case kEditFileName:
            SetLabel(lblFichier_, entry, entry);
            CloseEditor();
            break;
        case kEditDestName: {
            // Looked up where the job will write.
            const auto taken =
                job ? workflow::NameTakenText(*job, mode, Utf8(entry)) : std::nullopt;
            if (taken) {
                Message(FromUtf8(*taken), UiText(TextId::TitleWrongName), platform::Icon::Warning);
                break;
            }
            const QString shown = mode == Direction::Split ? entry.left(50) : entry;
            SetLabel(lblDest_, shown, shown);
            CloseEditor();
            break;
        }
        case kEditSize: {
            const std::string digits = Utf8(entry);
            int32_t value = 0;
            auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
            if (ec != std::errc() || end != digits.data() + digits.size()) {
                Message(UiText(TextId::WantsWholeNumber), UiText(TextId::TitleWrongEntry),
                        platform::Icon::Warning);
                break;
            }
            if (value < 1 || value > 999) break;
            lblTaille_->setText(entry);
            presetBytes_ = 0;
            lblTaille_->setToolTip(UiText(TextId::TipSizePresets));
            lblMo_->setVisible(cboMode_->currentIndex() == 0);
            PlaceSizeLabel();
            params->defaultSize = value;
            params->SaveSettings();
            CloseEditor();
            break;
        }
        default:
            break;
    }
    return false;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edTemp_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
            case Qt::Key_Escape:
            case Qt::Key_Return:
            case Qt::Key_Backspace:
                return !EditorKeyPress(key->key());
            case Qt::Key_Enter:
                return !EditorKeyPress(Qt::Key_Return);
            default:
                // Shortcuts, arrows, Home, End and Delete are the edit's own.
                if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
                    return false;
                if (key->text().isEmpty() || key->text().front().category() == QChar::Other_Control)
                    return false;
                return !EditorKeyPress(key->key(), key->text().front());
        }
    }
    return QWidget::eventFilter(watched, event);
}

// --- The rest of the window

void MainWindow::ChooseDestFolder() {
    if (!job || !job->opened) return;
    const auto chosen = FileDialogs::GetFolder(this, UiText(TextId::ChooseDestinationFolder),
                                               FromUtf8(job->choices.folder));
    // A cancelled chooser, or a folder refused, keeps the job's folder.
    if (chosen && !chosen->isEmpty())
        workflow::UseFolder(*job, Utf8(*chosen), platform::ShowAfter(this));
    const QString folder = FromUtf8(job->choices.folder);
    SetLabel(lblDossier_, folder, folder);
}

void MainWindow::ForgetPreset() {
    if (presetBytes_ == 0) return;
    presetBytes_ = 0;
    lblTaille_->setToolTip(UiText(TextId::TipSizePresets));
    lblTaille_->setText(QString::number(params->defaultSize));
    PlaceSizeLabel();
    lblMo_->setVisible(cboMode_->currentIndex() == kSizeModeTaille);
}

void MainWindow::ChangeSizeMode(int index) {
    ForgetPreset();
    lblMo_->setVisible(index == 0);
    params->sizeMode = index;
    params->SaveSettings();
}

void MainWindow::ToggleDigests() {
    if (chkMD5_->isEnabled()) chkMD5_->setChecked(!chkMD5_->isChecked());
}

void MainWindow::StartAction() {
    if (!job || !job->opened) {
        Message(UiText(TextId::NoFileOpened), UiText(TextId::TitleProgram));
        return;
    }
    if (rbCouper_->isChecked()) {
        if (job->formatKind == FormatKind::Native)
            StartNativeSplit();
        else
            StartPlainSplit();
        return;
    }
    // A protected set that lost data parts is joined by rebuilding them on
    // the way; one whose data parts its recovery parts just found intact is
    // not hashed a second time.
    const std::string name = Utf8(lblDest_->text());
    const workflow::JoinProtection found = workflow::ExamineForJoin(job->sourcePath);
    if (found.repairs) {
        JoinRepairing(found.protection, name);
        return;
    }
    const bool verify = chkMD5_->isChecked() && !found.dataChecked;
    if (workflow::CheckJoin(*job, name, verify, params->bufferSize, platform::ShowAfter(this)))
        RunJob();
}

void MainWindow::StartNativeSplit() {
    const QString size = lblTaille_->text();
    job->choices.partsAsked = PartsAsked();
    const workflow::SplitChoice choice{
        .storedName = Utf8(lblFichier_->text()),
        .destName = Utf8(lblDest_->text()),
        .withDigests = chkMD5_->isChecked(),
        .partSize = presetBytes_ > 0 ? static_cast<int32_t>(presetBytes_)
                    : size.isEmpty()
                        ? 0
                        : PartSizeFor(cboMode_->currentIndex(), size.toLongLong(), job->sourceSize),
        .bufferSize = params->bufferSize};
    auto& split = static_cast<NativeSet&>(*job);
    if (!workflow::CheckSplit(split, choice, platform::ShowAfter(this))) return;
    // The recovery parts are the split's last step, on its worker.
    if (params->recoveryParts > 0) workflow::AddRecoveryStep(split, params->recoveryParts, true);
    RunJob();
}

int64_t MainWindow::PartsAsked() const {
    return presetBytes_ == 0 && cboMode_->currentIndex() == kSizeModeNombre
               ? lblTaille_->text().toLongLong()
               : 0;
}

// A plain set gets no recovery parts: they describe a native set, and only
// this program would read them, where a plain set is made for those without it.
void MainWindow::StartPlainSplit() {
    const QString size = lblTaille_->text();
    job->choices.partsAsked = PartsAsked();
    const PlainDigest digest = !chkMD5_->isChecked() ? PlainDigest::None
                               : params->plainSha256 ? PlainDigest::Sha256
                                                     : PlainDigest::Md5;
    const int64_t partSize =
        presetBytes_ > 0
            ? presetBytes_
            : PlainPartSizeFor(cboMode_->currentIndex(), size.toLongLong(), job->sourceSize);
    if (workflow::CheckPlainSplit(static_cast<PlainSet&>(*job), Utf8(lblDest_->text()), partSize,
                                  digest, params->bufferSize, platform::ShowAfter(this)))
        RunJob();
}

void MainWindow::JoinRepairing(const recovery::Protection& protection, const std::string& name) {
    workflow::JoinRepairingOnWorker(*job, protection, name);
    // The parts rebuilt are named above the end of the join, each on a line
    // of the message: its line breaks are "\n\r", a terminal's line's end is not.
    for (const std::string& line : workflow::RebuiltLines(protection))
        job->linesBeforeSuccess += line.substr(0, line.find_last_not_of('\n') + 1) + "\n\r";
    if (!job->linesBeforeSuccess.empty()) job->linesBeforeSuccess += "\n\r";
    RunJob();
}

void MainWindow::RunJob() {
    // The progress window is this window's child: disabling this window would
    // disable it too. Its modality keeps this one out of reach.
    focusBefore_ = focusWidget();
    EnableControls(false);
    hide();
    const int result = frmProcessing_ && job ? frmProcessing_->Run(*job, mode) : 0;
    ComeBack();
    EnableControls(true);
    SetMode(mode);
    RestoreFocus();
    if (result != 1)
        Message(UiText(TextId::WorkStoppedFilesLeft), UiText(TextId::TitleProgram),
                platform::Icon::Error);
}

void MainWindow::OpenSettings() {
    if (!frmParam_) return;
    if (frmParam_->exec() == 1) {
        const int index = frmParam_->cboBuffer()->currentIndex();
        if (index >= 0 && index < static_cast<int>(kBufferSizes.size()))
            params->bufferSize = kBufferSizes[index];
        params->recoveryParts = frmParam_->spnRecovery()->value();
        params->plainSets = frmParam_->PlainChosen();
        params->plainSha256 = frmParam_->Sha256Chosen();
        // Taken at the next start: the windows word their captions once.
        params->language = frmParam_->cboLanguage()->currentIndex();
        // Kept at once: a program killed before it closes would lose it.
        params->SaveSettings();
        if (mode == Direction::Split) {
            MatchSplitJobToSettings();
            if (presetBytes_ > LargestSplitPart()) ForgetPreset();
            ShowSplitFormat();
        }
    }
}

void MainWindow::OpenConvertWindow() {
    if (!frmConvert_) return;
    hide();
    frmConvert_->exec();
    ComeBack();
}

void MainWindow::ShowAbout() {
    Message(UiText(TextId::AboutText), UiText(TextId::TitleAbout), platform::Icon::Info);
}

void MainWindow::Minimise() {
    comingBack_ = false;
    showMinimized();
}

// Shows the window again after a run or a modal window, as it was before:
// restored, on top and active. A window that the system restored after our
// own minimise may still be mapped minimised by it, which comes back here.
void MainWindow::ComeBack() {
    comingBack_ = true;
    // Long enough for the system to map it; a minimise after that is the user's.
    QTimer::singleShot(1500, this, [this] { comingBack_ = false; });
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void MainWindow::Quit() {
    close();
    params->SaveSettings();
}
