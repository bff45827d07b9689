// The conversion window for sets of the older format.
#pragma once

#include <QDialog>

class TfrmConvert : public QDialog {
    Q_OBJECT
public:
    explicit TfrmConvert(QWidget* parent = nullptr);

    void lblCancelClick() { done(2); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
};
