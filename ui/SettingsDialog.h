// The advanced settings dialog: the size of the copy buffer, the number of
// recovery parts a split writes, and whether a split writes a native or a
// plain set, with which checksum file, and the windows' language.
#pragma once

#include <QDialog>

class QComboBox;
class QSpinBox;
class SavedSettings;

class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    // The dialog preselects the buffer size of these settings when shown.
    explicit SettingsDialog(const SavedSettings* params, QWidget* parent = nullptr);

    QComboBox* cboBuffer() const { return cboBuffer_; }
    QSpinBox* spnRecovery() const { return spnRecovery_; }
    QComboBox* cboPartFormat() const { return cboPartFormat_; }
    QComboBox* cboChecksum() const { return cboChecksum_; }
    // The index is the platform::LanguageChoice stored.
    QComboBox* cboLanguage() const { return cboLanguage_; }
    // The choices as the dialog shows them.
    bool PlainChosen() const;
    bool Sha256Chosen() const;
    void Apply() { done(1); }
    void Abandon() { done(2); }
    // Centred on the screen.
    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void PrepareToShow();
    // A plain set has no recovery parts, and only it a checksum kind to choose.
    void ShowPartFormat(int index);

    const SavedSettings* params_;
    QComboBox* cboBuffer_;
    QSpinBox* spnRecovery_;
    QComboBox* cboPartFormat_;
    QComboBox* cboChecksum_;
    QComboBox* cboLanguage_;
};
