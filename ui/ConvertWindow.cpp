#include "ui/ConvertWindow.h"

#include <QCloseEvent>
#include <QDate>
#include <QLocale>
#include <QPainter>
#include <QProgressBar>

#include "core/DisplayNumbers.h"
#include "formats/Workflow.h"
#include "formats/native/LegacySet.h"
#include "platform/Fs.h"
#include "platform/Messages.h"
#include "ui/Seams.h"
#include "ui/Skin.h"
#include "ui/UiTexts.h"

namespace {
QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A field that ends a name too long for it with "…".
QLabel* FieldLabel(QWidget* parent, const char* name, QRect at) {
    auto* label = new ClickLabel(parent, false);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    Style(label, {11, false, "#000000"});
    Place(label, at.x(), at.y(), at.width(), at.height());
    return label;
}
}  // namespace

ConvertWindow::ConvertWindow(QWidget* parent) : QDialog(parent) {
    setObjectName("frmConvert");
    setWindowTitle(UiText(TextId::TitleConvertWindow));
    MakeSkinned(this, 385, 150);
    setModal(true);
    DragsWindow(this);

    lblFichier_ = FieldLabel(this, "lblFichier", {124, 46, 209, 13});
    lblOuvrir_ = new ClickLabel(this);
    lblOuvrir_->setObjectName("lblOuvrir");
    lblOuvrir_->setText("...");
    Style(lblOuvrir_, {11, true, "#000000", "Arial", Qt::AlignCenter});
    Place(lblOuvrir_, 348, 46, 21, 13);
    lblNom_ = FieldLabel(this, "lblNom", {84, 76, 289, 13});
    lblTaille_ = FieldLabel(this, "lblTaille", {48, 97, 66, 13});
    lblDate_ = FieldLabel(this, "lblDate", {157, 97, 66, 13});
    lblMD5_ = FieldLabel(this, "lblMD5", {305, 97, 66, 13});

    bar1_ = SkinBar(this, Qt::white);
    bar1_->setObjectName("bar1");
    Place(bar1_, 12, 133, 245, 6);

    lblGo_ = new ClickLabel(this);
    lblGo_->setObjectName("lblGo");
    lblGo_->setText(UiText(TextId::CaptionConvert));
    Style(lblGo_, {11, true});
    Place(lblGo_, 272, 128, 58, 13);
    lblGo_->setToolTip(UiText(TextId::TipConvertThis));

    lblCancel_ = new ClickLabel(this);
    lblCancel_->setObjectName("lblCancel");
    lblCancel_->setText(UiText(TextId::CaptionClose));
    Style(lblCancel_, {11, false});
    Place(lblCancel_, 336, 128, 40, 13);
    lblCancel_->setToolTip(UiText(TextId::TipCancelAndClose));

    connect(lblOuvrir_, &ClickLabel::clicked, this, &ConvertWindow::BrowseForSource);
    connect(lblGo_, &ClickLabel::clicked, this, &ConvertWindow::Convert);
    connect(lblCancel_, &ClickLabel::clicked, this, &ConvertWindow::CloseUnlessConverting);
}

ConvertWindow::~ConvertWindow() {
    if (job) job->WaitForWorker();
}

void ConvertWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    PrepareToShow();
}

void ConvertWindow::setVisible(bool visible) {
    if (visible && !isVisible() && parentWidget())
        CentreWindow(this, parentWidget()->geometry().center());
    QDialog::setVisible(visible);
}

void ConvertWindow::PrepareToShow() {
    // The labels of the last set are gone: so is the set, which "Convertir"
    // must not convert unseen.
    if (job && !Converting()) job->opened = false;
    lblFichier_->clear();
    lblNom_->clear();
    lblTaille_->clear();
    lblMD5_->clear();
}

void ConvertWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    ClipToSkinShape(painter, this);
    if (!PaintArtwork(painter, "convert", rect())) painter.fillRect(rect(), Qt::black);
    PaintCaptions(painter, {385, 150}, rect(), ArtworkCaptions());
}

std::vector<ArtworkCaption> ConvertWindow::ArtworkCaptions() {
    const QColor field(0xC9, 0xD1, 0xDE);
    return {{UiText(TextId::ArtConvertTitle), 38, 20, 12, true, Qt::white},
            {UiText(TextId::ArtFileToConvert), 8, 56, 11, false, field},
            {UiText(TextId::ArtOriginalName), 8, 87, 11, false, field},
            {UiText(TextId::ArtSize), 8, 108, 11, false, field},
            {UiText(TextId::ArtDate), 151, 108, 11, false, field, true},
            {UiText(TextId::ArtDigest), 299, 108, 11, false, field, true}};
}

// The worker relies on its job until it ends: nothing replaces it meanwhile.
void ConvertWindow::BrowseForSource() {
    if (Converting()) return;
    auto choice = FileDialogs::GetOpenFile(this, {{"Parcelwise v1.0 (*.001.pcw)", "*.001.pcw"}});
    if (!choice) return;
    if (job) job->WaitForWorker();
    job = std::make_unique<LegacySet>();
    job->display = this;
    // A file that failed to open is no set to convert.
    if (!workflow::OpenLegacySet(*job, choice->path.toUtf8().toStdString(),
                                 platform::ShowAfter(this)))
        return;
    lblFichier_->setText(FromUtf8(platform::FileNameOf(job->sourcePath)));
    lblNom_->setText(FromUtf8(job->description.originalName));
    lblTaille_->setText(FromUtf8(FormatSize(static_cast<int64_t>(job->lead.originalSize))));
    lblDate_->setText(
        QLocale().toString(DateOfDayCount(job->description.splitDate), QLocale::ShortFormat));
    if (job->description.digestFlag == 0) lblMD5_->setText(UiText(TextId::CaptionNo));
    if (job->description.digestFlag == 1) lblMD5_->setText(UiText(TextId::CaptionYes));
}

void ConvertWindow::Convert() {
    if (Converting()) return;
    if (!job || !job->opened) {
        platform::ShowMessage(this, texts::Say(TextId::NoFileOpened),
                              texts::Say(TextId::TitleProgram), platform::Icon::Warning);
        return;
    }
    job->WaitForWorker();
    converting_ = true;
    job->StartConvert();
}

void ConvertWindow::CloseUnlessConverting() {
    if (!Converting()) done(2);
}

void ConvertWindow::reject() {
    if (!Converting()) QDialog::reject();
}

void ConvertWindow::closeEvent(QCloseEvent* event) {
    if (Converting())
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void ConvertWindow::SetOverallBar(int position) {
    bar_.store(position);
    if (!barPosted_.exchange(true))
        QMetaObject::invokeMethod(this, &ConvertWindow::ApplyBar, Qt::QueuedConnection);
}

void ConvertWindow::ApplyBar() {
    barPosted_.store(false);
    bar1_->setValue(std::clamp(bar_.load(), 0, 100));
}

void ConvertWindow::ShowMessage(const Message& message) {
    platform::ShowMessages(this, {message});
}

void ConvertWindow::CloseAfterJob() {
    QMetaObject::invokeMethod(
        this,
        [this] {
            ApplyBar();
            if (job) job->WaitForWorker();
            converting_ = false;
            emit conversionEnded();
        },
        Qt::QueuedConnection);
}
