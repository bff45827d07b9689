// The advanced settings dialog: the size of the copy buffer.
#pragma once

#include <QDialog>

class QComboBox;
class SavedSettings;

class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    // The dialog preselects the buffer size of these settings when shown.
    explicit SettingsDialog(const SavedSettings* params, QWidget* parent = nullptr);

    QComboBox* cboBuffer() const { return cboBuffer_; }
    void Apply() { done(1); }
    void Abandon() { done(2); }
    // Centred on the screen.
    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void PrepareToShow();

    const SavedSettings* params_;
    QComboBox* cboBuffer_;
};
