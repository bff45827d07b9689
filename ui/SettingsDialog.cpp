#include "ui/SettingsDialog.h"

#include <QComboBox>
#include <QPainter>
#include <QScreen>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <string>

#include "formats/recovery/RecoveryHeader.h"
#include "settings/SavedSettings.h"
#include "ui/Skin.h"
#include "ui/UiTexts.h"

namespace {

const QColor kBody(89, 131, 200);
const QColor kBand(62, 85, 132);

// Items in white on the list's own blue; the chosen one in the system's highlight.
class BufferItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool selected = option.state & QStyle::State_Selected;
        painter->fillRect(option.rect, selected ? option.palette.highlight() : QBrush(kBody));
        painter->setPen(selected ? option.palette.highlightedText().color() : Qt::white);
        painter->setFont(SkinFont(11, false));
        painter->drawText(option.rect.adjusted(3, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                          index.data().toString());
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width(), 16);
    }
};

}  // namespace

SettingsDialog::SettingsDialog(const SavedSettings* params, QWidget* parent)
    : QDialog(parent), params_(params) {
    setObjectName("frmParam");
    setWindowTitle(UiText(TextId::TitleSettings));
    setWindowFlag(Qt::FramelessWindowHint, true);
    setFixedSize(301, 280);
    setModal(true);
    DragsWindow(this);

    auto* image = new QLabel(this);
    image->setObjectName("Image1");
    Place(image, 8, 8, 32, 32);
    image->setPixmap(ArtworkPixmap("settings", QSize(32, 32)));

    auto label = [this](const char* name, const QString& text, int left, int top,
                        LabelStyle style) {
        auto* l = new QLabel(text, this);
        l->setObjectName(name);
        Style(l, style);
        l->adjustSize();
        l->move(left, top);
        return l;
    };
    label("Label2", UiText(TextId::CaptionSettings), 48, 13, {19, true});
    label("Label1", UiText(TextId::CaptionBuffer), 16, 64, {11, true});
    label("Label3", UiText(TextId::CaptionBufferDefault), 200, 64, {11, false});
    label("Label5", UiText(TextId::CaptionRecoveryParts), 16, 90, {11, true});
    label("Label6", UiText(TextId::CaptionRecoveryDefault), 200, 90, {11, false});
    label("Label7", UiText(TextId::CaptionPartFormat), 16, 116, {11, true});
    label("Label8", UiText(TextId::CaptionChecksumKind), 16, 142, {11, true});
    label("Label9", UiText(TextId::CaptionLanguage), 16, 168, {11, true});
    label("Label10", UiText(TextId::LanguageAtNextStart), 16, 190, {11, false});
    QLabel* note = label("Label4", UiText(TextId::BufferNote), 16, 210, {11, false});
    note->setWordWrap(true);
    Place(note, 16, 210, 265, 26);

    auto list = [this](const char* name, QRect at, const QStringList& items) {
        auto* box = new QComboBox(this);
        box->setObjectName(name);
        Place(box, at.x(), at.y(), at.width(), at.height());
        box->addItems(items);
        box->setItemDelegate(new BufferItemDelegate(box));
        box->setFont(SkinFont(11, false));
        box->setStyleSheet(QString("QComboBox { background: %1; color: white; border: 1px solid "
                                   "black; padding-left: 3px; }"
                                   "QComboBox:disabled { color: rgba(255, 255, 255, 110); }"
                                   "QComboBox:focus { border: 1px dotted white; }"
                                   "QComboBox QAbstractItemView { background: %1; }")
                               .arg(kBody.name()));
        return box;
    };
    QStringList buffers;
    for (uint32_t bytes : kBufferSizes)
        buffers.append(UiText(TextId::BufferSizeEntry, {std::to_string(bytes / 1024)}));
    cboBuffer_ = list("cboBuffer", {122, 61, 73, 22}, buffers);
    cboPartFormat_ = list("cboPartFormat", {148, 113, 137, 22},
                          {UiText(TextId::PartFormatNative), UiText(TextId::PartFormatPlain)});
    cboPartFormat_->setToolTip(UiText(TextId::TipPartFormat));
    cboChecksum_ = list("cboChecksum", {148, 139, 137, 22},
                        {UiText(TextId::ChecksumMd5Entry), UiText(TextId::ChecksumSha256Entry)});
    cboChecksum_->setToolTip(UiText(TextId::TipChecksumKind));
    // In the order of platform::LanguageChoice: the index is the stored value.
    cboLanguage_ = list("cboLanguage", {148, 165, 137, 22},
                        {UiText(TextId::LanguageAutomatic), UiText(TextId::LanguageFrench),
                         UiText(TextId::LanguageEnglish)});
    cboLanguage_->setToolTip(UiText(TextId::TipLanguage));
    connect(cboPartFormat_, &QComboBox::currentIndexChanged, this, &SettingsDialog::ShowPartFormat);

    spnRecovery_ = new QSpinBox(this);
    spnRecovery_->setObjectName("spnRecovery");
    Place(spnRecovery_, 148, 87, 47, 22);
    spnRecovery_->setRange(0, recovery::kMostRecoveryParts);
    spnRecovery_->setFont(SkinFont(11, false));
    spnRecovery_->setStyleSheet(
        QString("QSpinBox { background: %1; color: white; border: 1px solid "
                "black; padding-left: 3px; }"
                "QSpinBox:disabled { color: rgba(255, 255, 255, 110); }"
                "QSpinBox:focus { border: 1px dotted white; }")
            .arg(kBody.name()));
    // The keyboard goes down the dialog as the fields are laid out.
    setTabOrder(cboBuffer_, spnRecovery_);
    setTabOrder(spnRecovery_, cboPartFormat_);
    setTabOrder(cboPartFormat_, cboChecksum_);
    setTabOrder(cboChecksum_, cboLanguage_);

    auto* go = new ClickLabel(this);
    go->setObjectName("lblGo");
    go->setText(UiText(TextId::CaptionApply));
    Style(go, {11, true});
    go->adjustSize();
    go->move(185, 258);
    go->setToolTip(UiText(TextId::TipApply));
    connect(go, &ClickLabel::clicked, this, &SettingsDialog::Apply);

    auto* cancel = new ClickLabel(this);
    cancel->setObjectName("lblCancel");
    cancel->setText(UiText(TextId::CaptionClose));
    Style(cancel, {11, false});
    cancel->adjustSize();
    cancel->move(253, 258);
    cancel->setToolTip(UiText(TextId::TipAbandon));
    connect(cancel, &ClickLabel::clicked, this, &SettingsDialog::Abandon);
}

void SettingsDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    PrepareToShow();
}

void SettingsDialog::setVisible(bool visible) {
    if (visible && !isVisible())
        if (QScreen* screen = this->screen())
            CentreWindow(this, screen->availableGeometry().center());
    QDialog::setVisible(visible);
}

void SettingsDialog::PrepareToShow() {
    if (params_ == nullptr) return;
    int index = BufferSizeIndex(params_->bufferSize);
    if (index >= 0) cboBuffer_->setCurrentIndex(index);
    spnRecovery_->setValue(params_->recoveryParts);
    cboPartFormat_->setCurrentIndex(params_->plainSets ? 1 : 0);
    cboChecksum_->setCurrentIndex(params_->plainSha256 ? 1 : 0);
    cboLanguage_->setCurrentIndex(static_cast<int>(params_->LanguageChosen()));
    ShowPartFormat(cboPartFormat_->currentIndex());
}

bool SettingsDialog::PlainChosen() const {
    return cboPartFormat_->currentIndex() == 1;
}

bool SettingsDialog::Sha256Chosen() const {
    return cboChecksum_->currentIndex() == 1;
}

void SettingsDialog::ShowPartFormat(int index) {
    const bool plain = index == 1;
    spnRecovery_->setEnabled(!plain);
    spnRecovery_->setToolTip(plain ? UiText(TextId::TipNoRecoveryForPlain) : QString());
    cboChecksum_->setEnabled(plain);
}

void SettingsDialog::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    QPen border(Qt::black, 3);
    border.setJoinStyle(Qt::MiterJoin);
    painter.setPen(border);
    painter.setBrush(kBody);
    painter.drawRect(QRectF(1.5, 13 + 1.5, width() - 3, height() - 13 - 3));
    painter.setBrush(kBand);
    painter.drawRect(QRectF(1.5, 1.5, width() - 3, 49 - 3));
}
