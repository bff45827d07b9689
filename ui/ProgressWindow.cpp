#include "ui/ProgressWindow.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>
#include <QProgressBar>
#include <QShowEvent>
#include <QTime>
#include <cmath>

#include "core/Job.h"
#include "formats/Workflow.h"
#include "platform/Clock.h"
#include "ui/Seams.h"
#include "ui/Skin.h"
#include "ui/UiTexts.h"

namespace {

constexpr int kApplyEveryMs = 40;

const char* const kClockIcons[4] = {"clock-elapsed", "clock-remaining", "clock-total", "clock-end"};

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The time of day of a day count, to the second: whole days are dropped.
QString ClockText(double dayCount) {
    double fraction = dayCount - std::floor(dayCount);
    int seconds = static_cast<int>(std::floor(fraction * 86400.0 + 0.5)) % 86400;
    return QTime(0, 0).addSecs(seconds).toString("HH:mm:ss");
}

}  // namespace

ProgressWindow::ProgressWindow(QWidget* parent) : QDialog(parent) {
    setObjectName("frmProcessing");
    setWindowTitle(UiText(TextId::ProductName));
    MakeSkinned(this, 385, 180);
    setModal(true);
    DragsWindow(this);

    imgTemps_ = new QLabel(this);
    imgTemps_->setObjectName("imgTemps");
    Place(imgTemps_, 95, 33, 23, 13);
    imgTemps_->setCursor(Qt::WhatsThisCursor);

    lblTemps_ = new ClickLabel(this, false);
    lblTemps_->setObjectName("lblTemps");
    Place(lblTemps_, 125, 32, 48, 15);
    Style(lblTemps_, {12, true});
    lblTemps_->setCursor(Qt::WhatsThisCursor);

    lblDone_ = new QLabel(this);
    lblDone_->setObjectName("lblDone");
    Place(lblDone_, 186, 32, 76, 15);
    Style(lblDone_, {11, true, "#FFFFFF", "Arial", Qt::AlignRight | Qt::AlignVCenter});

    imgBt_ = new ClickLabel(this);
    imgBt_->setObjectName("imgBt");
    Place(imgBt_, 274, 32, 16, 16);

    // The cancel control, in a section of its own beside the pause.
    imgAnnuler_ = new ClickLabel(this);
    imgAnnuler_->setObjectName("imgAnnuler");
    Place(imgAnnuler_, 359, 32, 16, 16);
    imgAnnuler_->setToolTip(UiText(TextId::CaptionCancel));
    imgAnnuler_->setAccessibleName(UiText(TextId::CaptionCancel));
    imgAnnuler_->setFocusPolicy(Qt::TabFocus);
    Style(imgAnnuler_, {11, true});  // its focus mark in white, seen on the black skin

    lblTest_ = new ClickLabel(this);
    lblTest_->setObjectName("lblTest");
    Place(lblTest_, 293, 32, 58, 15);
    Style(lblTest_, {11, true});
    lblTest_->setText(UiText(TextId::CaptionPause));

    lblInfo_ = new QLabel(this);
    lblInfo_->setObjectName("lblInfo");
    Place(lblInfo_, 7, 79, 370, 18);
    Style(lblInfo_, {15, true, "#FFFFFF", "Arial", Qt::AlignCenter});
    lblInfo_->setText(UiText(TextId::StatusWaiting));

    lblPartie_ = new QLabel(this);
    lblPartie_->setObjectName("lblPartie");
    Place(lblPartie_, 10, 110, 366, 14);
    Style(lblPartie_, {11, true, "#000000"});
    lblPartie_->setText("...");

    bar2_ = SkinBar(this, QColor(255, 170, 0));
    bar2_->setObjectName("bar2");
    Place(bar2_, 10, 130, 365, 6);
    bar1_ = SkinBar(this, QColor(170, 255, 0));
    bar1_->setObjectName("bar1");
    Place(bar1_, 10, 156, 328, 6);

    lblPourcentage_ = new QLabel(this);
    lblPourcentage_->setObjectName("lblPourcentage");
    Place(lblPourcentage_, 341, 151, 37, 14);
    Style(lblPourcentage_, {11, true, "#FFFFFF", "Arial", Qt::AlignRight | Qt::AlignVCenter});
    lblPourcentage_->setText("100 %");

    clockTimer_.setInterval(1000);
    clockTimer_.setObjectName("Timer1");
    connect(&clockTimer_, &QTimer::timeout, this, &ProgressWindow::TickClock);

    clockMenu_ = new QMenu(this);
    clockMenu_->setObjectName("popTime");
    auto* group = new QActionGroup(clockMenu_);
    const char* names[4] = {"empscoul1", "empsrestant1", "Duretotale1", "Heuredefin1"};
    const TextId captions[4] = {TextId::ClockElapsed, TextId::ClockRemaining, TextId::ClockTotal,
                                TextId::ClockEnd};
    for (int i = 0; i < 4; ++i) {
        timeItems_[i] = clockMenu_->addAction(ArtworkPixmap(kClockIcons[i], QSize(23, 13)),
                                              UiText(captions[i]));
        timeItems_[i]->setObjectName(names[i]);
        timeItems_[i]->setCheckable(true);
        group->addAction(timeItems_[i]);
        connect(timeItems_[i], &QAction::triggered, this,
                [this, i] { ChooseClockMode(static_cast<ClockMode>(i)); });
    }
    timeItems_[0]->setChecked(true);
    clockMenu_->setDefaultAction(timeItems_[0]);
    for (QWidget* w : {static_cast<QWidget*>(imgTemps_), static_cast<QWidget*>(lblTemps_)})
        w->installEventFilter(this);
    // From the keyboard: the clock opens its menu, the pause label pauses.
    lblTemps_->setFocusPolicy(Qt::TabFocus);
    connect(lblTemps_, &ClickLabel::clicked, this,
            [this] { clockMenu_->popup(lblTemps_->mapToGlobal(lblTemps_->rect().bottomLeft())); });
    imgBt_->setFocusPolicy(Qt::NoFocus);

    connect(imgBt_, &ClickLabel::clicked, this, &ProgressWindow::TogglePause);
    connect(lblTest_, &ClickLabel::clicked, this, &ProgressWindow::TogglePause);
    connect(imgAnnuler_, &ClickLabel::clicked, this, &ProgressWindow::AskToCancel);
    setTabOrder(lblTest_, imgAnnuler_);

    imgBt_->setPixmap(ArtworkPixmap("pause", QSize(16, 16)));
    imgAnnuler_->setPixmap(ArtworkPixmap("cancel", QSize(16, 16)));
    imgTemps_->setPixmap(ArtworkPixmap(kClockIcons[0], QSize(23, 13)));
}

// The menu opens where the system says the pointer is: a borderless window
// placed by the window manager may not know its own place on the screen.
bool ProgressWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ContextMenu && (watched == imgTemps_ || watched == lblTemps_)) {
        clockMenu_->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void ProgressWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    ClipToSkinShape(painter, this);
    if (!PaintArtwork(painter, "processing", rect())) painter.fillRect(rect(), Qt::black);
}

void ProgressWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // A window restored from the task bar is shown again by the system: its
    // job runs already and must not be started twice.
    if (event->spontaneous()) return;
    PrepareToShow();
}

void ProgressWindow::setVisible(bool visible) {
    if (visible && !isVisible() && parentWidget())
        CentreWindow(this, parentWidget()->geometry().center());
    QDialog::setVisible(visible);
}

int ProgressWindow::Run(Job& job, workflow::Direction direction) {
    TakeJob(job, direction);
    const int result = exec();
    // The worker ends before the window closes; only its thread is waited for.
    job.WaitForWorker();
    ReleaseJob();
    return result;
}

void ProgressWindow::TakeJob(Job& job, workflow::Direction direction) {
    job_ = &job;
    direction_ = direction;
    job.display = this;
    // Every job starts on elapsed time.
    ChooseClockMode(ClockMode::Elapsed);
}

void ProgressWindow::ReleaseJob() {
    if (job_ != nullptr) job_->display = &NullDisplay::Instance();
    job_ = nullptr;
}

void ProgressWindow::PrepareToShow() {
    ResetDisplay();
    closing_ = false;
    clockTimer_.start();
    if (job_ != nullptr) workflow::Start(*job_, direction_);
}

// The window closes at the end of its job; closing it or Escape before then
// asks whether to cancel the job, which then ends and closes it.
void ProgressWindow::closeEvent(QCloseEvent* event) {
    if (closing_) return QDialog::closeEvent(event);
    event->ignore();
    AskToCancel();
}

void ProgressWindow::reject() {
    if (closing_) return QDialog::reject();
    AskToCancel();
}

void ProgressWindow::AskToCancel() {
    if (closing_ || asking_) return;
    Job* job = job_;
    if (job == nullptr) return;
    asking_ = true;
    // Held while the user thinks: a job that ran on could end under the
    // question, and "Oui" would then cancel nothing.
    job->Suspend();
    const bool yes = Questions::Ask(this, UiText(TextId::AskCancel), UiText(TextId::TitleProgram));
    asking_ = false;
    // A job that ended while the question was open closed it: nothing to cancel then.
    if (closing_ || job_ != job) return;
    if (!yes) {
        if (pauseState == PauseState::Running) job->Resume();
        return;
    }
    job->Cancel();
    lblInfo_->setText(UiText(TextId::StatusCancelling));
}

void ProgressWindow::ResetDisplay() {
    {
        std::lock_guard lock(slotsMutex_);
        pending_ = Slots{};
    }
    bar1_->setValue(0);
    bar2_->setValue(0);
    lblPourcentage_->setText("0 %");
    lblInfo_->setText("");
    lblTemps_->setText("00:00:00");
    lblDone_->setText("0 " + UiText(TextId::CaptionMegabytes));
    lblPartie_->setText("...");
    imgBt_->setPixmap(ArtworkPixmap("pause", QSize(16, 16)));
    imgTemps_->setPixmap(ArtworkPixmap(kClockIcons[0], QSize(23, 13)));
    lblTest_->setText(UiText(TextId::CaptionPause));
    clockTimer_.stop();
    pauseState = PauseState::Running;
}

// --- The worker's side: remember the value, post one apply at a time.

void ProgressWindow::Post() {
    if (applyPosted_) return;
    applyPosted_ = true;
    // A few times a second is all an eye reads; a window redrawn after every
    // 16 KiB buffer took the worker's core from it. The end applies the last
    // values at once.
    QMetaObject::invokeMethod(
        this, [this] { QTimer::singleShot(kApplyEveryMs, this, &ProgressWindow::ApplySlots); },
        Qt::QueuedConnection);
}

void ProgressWindow::SetOverallBar(int position) {
    std::lock_guard lock(slotsMutex_);
    pending_.bar1 = position;
    Post();
}

void ProgressWindow::SetPartBar(int position) {
    std::lock_guard lock(slotsMutex_);
    pending_.bar2 = position;
    Post();
}

void ProgressWindow::SetPercentText(std::string_view text) {
    std::lock_guard lock(slotsMutex_);
    pending_.pourcentage.assign(text);
    pending_.hasPourcentage = true;
    Post();
}

void ProgressWindow::SetStatusText(std::string_view text) {
    std::lock_guard lock(slotsMutex_);
    pending_.info.assign(text);
    pending_.hasInfo = true;
    Post();
}

void ProgressWindow::SetPartText(std::string_view text) {
    std::lock_guard lock(slotsMutex_);
    pending_.partie.assign(text);
    pending_.hasPartie = true;
    Post();
}

void ProgressWindow::SetDoneText(std::string_view text) {
    std::lock_guard lock(slotsMutex_);
    pending_.done.assign(text);
    pending_.hasDone = true;
    Post();
}

void ProgressWindow::RunClock(bool enabled) {
    std::lock_guard lock(slotsMutex_);
    pending_.timer = enabled ? 1 : 0;
    Post();
}

void ProgressWindow::ShowMessage(const Message& message) {
    // The job's messages come as it ends, which closes the cancel question:
    // there is nothing left to cancel.
    QMetaObject::invokeMethod(
        this,
        [this] {
            ApplySlots();  // the last progress, under the message
            if (asking_) Questions::CloseOpenQuestion();
        },
        Qt::QueuedConnection);
    platform::ShowMessages(this, {message});
}

void ProgressWindow::CloseAfterJob() {
    // Queued behind every write the worker made, and behind its last message.
    QMetaObject::invokeMethod(
        this,
        [this] {
            ApplySlots();
            ResetDisplay();
            closing_ = true;
            done(1);
            repaint();
            emit jobClosed();
        },
        Qt::QueuedConnection);
}

void ProgressWindow::ApplySlots() {
    Slots s;
    {
        std::lock_guard lock(slotsMutex_);
        s = std::move(pending_);
        pending_ = Slots{};
        applyPosted_ = false;
    }
    if (s.bar1 >= 0) bar1_->setValue(s.bar1);
    if (s.bar2 >= 0) bar2_->setValue(s.bar2);
    if (s.hasPourcentage) lblPourcentage_->setText(FromUtf8(s.pourcentage));
    if (s.hasInfo) lblInfo_->setText(FromUtf8(s.info));
    if (s.hasPartie) lblPartie_->setText(FromUtf8(s.partie));
    if (s.hasDone) lblDone_->setText(FromUtf8(s.done));
    if (s.timer == 0) clockTimer_.stop();
    if (s.timer == 1) clockTimer_.start();
}

// --- The UI's side.

void ProgressWindow::TickClock() {
    Job* job = job_;
    if (job == nullptr) return;
    job->UpdateTimes(platform::Now());
    const double elapsed = job->elapsedTime;
    const double remaining = job->remainingTime;
    switch (clockMode_) {
        case ClockMode::Elapsed:
            lblTemps_->setText(ClockText(elapsed));
            break;
        case ClockMode::Remaining:
            lblTemps_->setText(ClockText(remaining));
            break;
        case ClockMode::Total:
            lblTemps_->setText(ClockText(elapsed + remaining));
            break;
        case ClockMode::End:
            lblTemps_->setText(ClockText(job->startTime + elapsed + remaining));
            break;
    }
}

void ProgressWindow::ChooseClockMode(ClockMode mode) {
    clockMode_ = mode;
    const auto index = static_cast<size_t>(mode);
    timeItems_[index]->setChecked(true);
    imgTemps_->setPixmap(ArtworkPixmap(kClockIcons[index], QSize(23, 13)));
}

void ProgressWindow::TogglePause() {
    Job* job = job_;
    if (job == nullptr) return;
    if (pauseState == PauseState::Running) {
        job->Suspend();
        lblTest_->setText(UiText(TextId::CaptionResume));
        imgBt_->setPixmap(ArtworkPixmap("resume", QSize(16, 16)));
        if (!job->joining) {
            lblInfo_->setText(UiText(TextId::StatusSplitPaused));
            pauseState = PauseState::SplitPaused;
        } else {
            pauseState = PauseState::JoinPaused;
        }
        return;
    }
    job->Resume();
    lblTest_->setText(UiText(TextId::CaptionPause));
    imgBt_->setPixmap(ArtworkPixmap("pause", QSize(16, 16)));
    pauseState = PauseState::Running;
}
