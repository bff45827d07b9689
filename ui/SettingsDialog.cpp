#include "ui/SettingsDialog.h"

#include <QComboBox>
#include <QPainter>
#include <QScreen>
#include <QStyledItemDelegate>

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
    setFixedSize(301, 158);
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
    QLabel* note = label("Label4", UiText(TextId::BufferNote), 16, 88, {11, false});
    note->setWordWrap(true);
    Place(note, 16, 88, 265, 26);

    cboBuffer_ = new QComboBox(this);
    cboBuffer_->setObjectName("cboBuffer");
    Place(cboBuffer_, 122, 61, 73, 22);
    for (const char* item : kBufferLabels) cboBuffer_->addItem(QString::fromUtf8(item));
    cboBuffer_->setItemDelegate(new BufferItemDelegate(cboBuffer_));
    cboBuffer_->setFont(SkinFont(11, false));
    cboBuffer_->setStyleSheet(QString("QComboBox { background: %1; color: white; border: 1px solid "
                                      "black; padding-left: 3px; }"
                                      "QComboBox:focus { border: 1px dotted white; }"
                                      "QComboBox QAbstractItemView { background: %1; }")
                                  .arg(kBody.name()));

    auto* go = new ClickLabel(this);
    go->setObjectName("lblGo");
    go->setText(UiText(TextId::CaptionApply));
    Style(go, {11, true});
    go->adjustSize();
    go->move(185, 136);
    go->setToolTip(UiText(TextId::TipApply));
    connect(go, &ClickLabel::clicked, this, &SettingsDialog::Apply);

    auto* cancel = new ClickLabel(this);
    cancel->setObjectName("lblCancel");
    cancel->setText(UiText(TextId::CaptionClose));
    Style(cancel, {11, false});
    cancel->adjustSize();
    cancel->move(253, 136);
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
}

void SettingsDialog::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    QPen border(Qt::black, 3);
    border.setJoinStyle(Qt::MiterJoin);
    painter.setPen(border);
    painter.setBrush(kBody);
    painter.drawRect(QRectF(1.5, 13 + 1.5, 301 - 3, 145 - 3));
    painter.setBrush(kBand);
    painter.drawRect(QRectF(1.5, 1.5, 301 - 3, 49 - 3));
}
