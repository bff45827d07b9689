// The conversion window: picks the first part of a set of the older format,
// shows what it describes and converts it, with a bar for the progress.
#pragma once

#include <QDialog>
#include <atomic>
#include <memory>
#include <vector>

#include "core/ProgressDisplay.h"
#include "ui/GuiMessageSink.h"
#include "ui/Skin.h"

class ClickLabel;
class QLabel;
class QProgressBar;
class LegacySet;

class ConvertWindow : public QDialog, public ProgressDisplay, public platform::OwnerWindow {
    Q_OBJECT
public:
    // The captions written on the window's artwork, where they are drawn.
    static std::vector<ArtworkCaption> ArtworkCaptions();
    QWidget* OwnerWidget() override { return this; }
    explicit ConvertWindow(QWidget* parent = nullptr);
    ~ConvertWindow() override;

    std::unique_ptr<LegacySet> job;

    void BrowseForSource();
    void Convert();
    void CloseUnlessConverting();
    bool Converting() const { return converting_.load(); }

    // The conversion's writes: only its bar, and the end of its run.
    void SetOverallBar(int position) override;
    void SetPartBar(int) override {}
    void SetPercentText(std::string_view) override {}
    void SetStatusText(std::string_view) override {}
    void SetPartText(std::string_view) override {}
    void SetDoneText(std::string_view) override {}
    void RunClock(bool) override {}
    void ShowMessage(const Message& message) override;
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
    // Shown over the main window.
    void setVisible(bool visible) override;

private:
    void PrepareToShow();
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
