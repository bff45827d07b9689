#include "ui/u_frmconvert.h"

#include <QPainter>

#include "ui/Skin.h"

TfrmConvert::TfrmConvert(QWidget* parent) : QDialog(parent) {
    setObjectName("frmConvert");
    setWindowTitle("Convertir un fichier Parcelwise");
    MakeSkinned(this, 385, 150);
    setModal(true);
    DragsWindow(this);

    auto* cancel = new ClickLabel(this);
    cancel->setObjectName("lblCancel");
    cancel->setText("Fermer");
    Style(cancel, {11, false});
    Place(cancel, 336, 128, 40, 13);
    cancel->setToolTip("Annuler et fermer la fenêtre");
    connect(cancel, &ClickLabel::clicked, this, &TfrmConvert::lblCancelClick);
}

void TfrmConvert::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (parentWidget()) move(parentWidget()->geometry().center() - rect().center());
}

void TfrmConvert::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!PaintArtwork(painter, "convert", rect())) painter.fillRect(rect(), Qt::black);
}
