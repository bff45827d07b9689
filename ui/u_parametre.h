// The advanced settings dialog: the size of the copy buffer.
#pragma once

#include <QDialog>

class QComboBox;
class TzelParams;

class TfrmParam : public QDialog {
    Q_OBJECT
public:
    // The dialog preselects the buffer size of these settings when shown.
    explicit TfrmParam(const TzelParams* params, QWidget* parent = nullptr);

    QComboBox* cboBuffer() const { return cboBuffer_; }
    void btOKClick() { done(1); }
    void btAnnulerClick() { done(2); }

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void FormShow();

    const TzelParams* params_;
    QComboBox* cboBuffer_;
};
