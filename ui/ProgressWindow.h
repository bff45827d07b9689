// The progress window: shown modally while a job runs. It starts the job's
// worker when shown, carries the display slots the worker writes, keeps the
// clock and pauses or resumes the worker.
#pragma once

#include <QDialog>
#include <QTimer>
#include <mutex>
#include <string>

#include "core/ProgressDisplay.h"
#include "formats/Workflow.h"
#include "ui/GuiMessageSink.h"

class ClickLabel;
class QLabel;
class QMenu;
class QAction;
class QProgressBar;
class Job;

class ProgressWindow : public QDialog, public ProgressDisplay, public platform::OwnerWindow {
    Q_OBJECT
public:
    QWidget* OwnerWidget() override { return this; }
    explicit ProgressWindow(QWidget* parent = nullptr);

    // Shows the window modally and runs the job in `direction` while it is
    // open; the job's display is this window until then. Returns the window's
    // result: 1 once the job ended.
    int Run(Job& job, workflow::Direction direction);
    // What Run does around its modal run: the job becomes the window's, and
    // then no longer. The job's worker must have returned before the release.
    void TakeJob(Job& job, workflow::Direction direction);
    void ReleaseJob();
    Job* job() const { return job_; }

    // The slots, written by the worker; every write reaches the window in
    // order on the UI thread, and none waits for it.
    void SetOverallBar(int position) override;
    void SetPartBar(int position) override;
    void SetPercentText(std::string_view text) override;
    void SetStatusText(std::string_view text) override;
    void SetPartText(std::string_view text) override;
    void SetDoneText(std::string_view text) override;
    void RunClock(bool enabled) override;
    void ShowMessage(const Message& message) override;
    void CloseAfterJob() override;

    void ResetDisplay();
    void TickClock();
    void TogglePause();
    // Asks whether to cancel the job, and cancels it on "Oui". The job waits
    // for the answer; "Non" lets it go on as it was, paused or not.
    void AskToCancel();
    // What the clock shows, in the order of its menu.
    enum class ClockMode : uint8_t { Elapsed, Remaining, Total, End };
    void ChooseClockMode(ClockMode mode);
    ClockMode clockMode() const { return clockMode_; }

    // Whether the job is held by the Pause button, and which caption it shows.
    enum class PauseState : uint8_t { Running, SplitPaused, JoinPaused };
    PauseState pauseState = PauseState::Running;

signals:
    // The job has ended and the window closed: the main window returns to
    // the defaults of its mode.
    void jobClosed();

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

public:
    // Escape and the window manager's close do nothing while a job runs.
    void reject() override;
    // Shown over the main window.
    void setVisible(bool visible) override;

protected:
private:
    void PrepareToShow();
    void ApplySlots();
    void Post();

    QLabel* imgTemps_;
    ClickLabel* lblTemps_;
    QLabel* lblDone_;
    ClickLabel* imgBt_;
    ClickLabel* imgAnnuler_;
    ClickLabel* lblTest_;
    QLabel* lblInfo_;
    QLabel* lblPartie_;
    QProgressBar* bar2_;
    QProgressBar* bar1_;
    QLabel* lblPourcentage_;
    QTimer clockTimer_;
    QMenu* clockMenu_;
    QAction* timeItems_[4];

    // The latest value of each slot the worker wrote since the last apply.
    struct Slots {
        int bar1 = -1, bar2 = -1;
        std::string pourcentage, info, partie, done;
        bool hasPourcentage = false, hasInfo = false, hasPartie = false, hasDone = false;
        int timer = -1;  // -1 untouched, 0 off, 1 on
    };
    std::mutex slotsMutex_;
    Slots pending_;
    bool applyPosted_ = false;
    bool closing_ = false;
    bool asking_ = false;  // the cancel question is open
    Job* job_ = nullptr;   // the job of the open window
    workflow::Direction direction_ = workflow::Direction::Split;
    ClockMode clockMode_ = ClockMode::Elapsed;
};
