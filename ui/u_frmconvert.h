// The conversion window: picks the first part of a set of the older format,
// shows what it describes and converts it, with a bar for the progress.
#pragma once

#include <QDialog>
#include <atomic>
#include <memory>

#include "core/ProgressDisplay.h"
#include "ui/GuiMessageSink.h"

class ClickLabel;
class QLabel;
class QProgressBar;
class TzelParcelwise10;

class TfrmConvert : public QDialog, public ProgressDisplay, public platform::OwnerWindow {
    Q_OBJECT
public:
    QWidget* OwnerWidget() override { return this; }
    explicit TfrmConvert(QWidget* parent = nullptr);
    ~TfrmConvert() override;

    std::unique_ptr<TzelParcelwise10> job;

    void lblOuvrirClick();
    void lblGoClick();
    void lblCancelClick();
    bool Converting() const { return converting_.load(); }

    // The conversion's writes: only its bar, and the end of its run.
    void bar1(int position) override;
    void bar2(int) override {}
    void lblPourcentage(std::string_view) override {}
    void lblInfo(std::string_view) override {}
    void lblPartie(std::string_view) override {}
    void lblDone(std::string_view) override {}
    void Timer1(bool) override {}
    void CloseAfterJob() override;

signals:
    void conversionEnded();

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

public:
    // A running conversion keeps its window: Escape does nothing then.
    void reject() override;

private:
    void FormShow();
    void ApplyBar();

    QLabel* lblFichier_;
    ClickLabel* lblOuvrir_;
    QLabel* lblNom_;
    QLabel* lblTaille_;
    QLabel* lblDate_;
    QLabel* lblMD5_;
    QProgressBar* bar1_;
    ClickLabel* lblGo_;
    ClickLabel* lblCancel_;

    std::atomic<bool> converting_{false};
    std::atomic<int> bar_{0};
    std::atomic<bool> barPosted_{false};
};
