// The progress window: its clock, its pause button, its reset state, and a
// job that cannot be closed away while it runs.
#include <QMenu>
#include <QPointer>
#include <QProgressBar>
#include <QThread>
#include <QTimer>
#include <chrono>

#include "GuiTest.h"
#include "formats/native/NativeSet.h"
#include "platform/Clock.h"
#include "platform/IoFaults.h"
#include "ui/Seams.h"

using namespace testsupport;

namespace {

constexpr double kSecond = 1.0 / 86400.0;

TEST_F(GuiTest, ClockShowsTheChosenTimeOfTheJob) {
    NativeSet job;
    processing->TakeJob(job, workflow::Direction::Split);
    job.startTime = platform::Now() - 5 * kSecond;
    job.totalBytes = 100;
    job.doneBytes = 25;
    processing->TickClock();
    EXPECT_EQ(Text("lblTemps"), "00:00:05");
    processing->ChooseClockMode(ProgressWindow::ClockMode::Remaining);
    EXPECT_EQ(Text("lblTemps"), "00:00:05");  // the text follows at the next tick
    processing->TickClock();
    EXPECT_EQ(Text("lblTemps"), "00:00:15");
    processing->ChooseClockMode(ProgressWindow::ClockMode::Total);
    processing->TickClock();
    EXPECT_EQ(Text("lblTemps"), "00:00:20");
    processing->ChooseClockMode(ProgressWindow::ClockMode::End);
    processing->TickClock();
    const QTime end = QTime(0, 0).addSecs(
        static_cast<int>(std::lround((job.startTime - std::floor(job.startTime)) * 86400 + 20)) %
        86400);
    EXPECT_EQ(Text("lblTemps"), end.toString("HH:mm:ss"));
    EXPECT_EQ(processing->clockMode(), ProgressWindow::ClockMode::End);

    // Durations past a day show modulo the day; no bytes yet, no estimate.
    NativeSet longJob;
    processing->TakeJob(longJob, workflow::Direction::Split);
    // A new job starts on elapsed time, and the menu says so.
    EXPECT_EQ(processing->clockMode(), ProgressWindow::ClockMode::Elapsed);
    EXPECT_TRUE(processing->findChild<QAction*>("empscoul1")->isChecked());
    longJob.startTime = platform::Now() - (25 * 3600) * kSecond;
    processing->TickClock();
    EXPECT_EQ(Text("lblTemps"), "01:00:00");
    processing->ChooseClockMode(ProgressWindow::ClockMode::Remaining);
    processing->TickClock();
    EXPECT_EQ(Text("lblTemps"), "00:00:00");

    processing->ReleaseJob();
    processing->TickClock();  // no job: nothing happens
}

TEST_F(GuiTest, PauseHoldsTheWorkerWithinOneBufferAndResumes) {
    const std::string original = RandomBytes(64 << 20, 9);
    WriteFile(work / "big.bin", original);
    Open(work / "big.bin");
    SetSize("1");
    bool held = false;
    int64_t heldAt = -1;
    QTimer::singleShot(0, [&] {
        processing->TogglePause();
        EXPECT_EQ(Text("lblTest"), "Continuer");
        EXPECT_EQ(Text("lblInfo"), "Découpage en pause...");
        EXPECT_EQ(processing->pauseState, ProgressWindow::PauseState::SplitPaused);
        Job* job = processing->job();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!job->Gate().WorkerHeld() && job->step != Step::Finished &&
               std::chrono::steady_clock::now() < deadline)
            QThread::msleep(1);
        held = job->Gate().WorkerHeld();
        heldAt = job->doneBytes;
        QThread::msleep(100);
        EXPECT_EQ(job->doneBytes.get(), heldAt);
        processing->TogglePause();
        EXPECT_EQ(Text("lblTest"), "Pause");
        EXPECT_EQ(processing->pauseState, ProgressWindow::PauseState::Running);
    });
    main->StartAction();
    EXPECT_TRUE(held);
    EXPECT_LT(heldAt, static_cast<int64_t>(original.size()));
    EXPECT_EQ(Texts().back(), "Le fichier a été coupé avec succès !");
    EXPECT_EQ(std::filesystem::file_size(work / "big.bin.064.pcw"), 1048576u);
}

// Waits until the paused worker has stopped at a buffer boundary.
bool WorkerHeld(Job* job) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!job->Gate().WorkerHeld() && job->step != Step::Finished &&
           std::chrono::steady_clock::now() < deadline)
        QThread::msleep(1);
    return job->Gate().WorkerHeld();
}

// The window during a real run, clicked through the system's window as a user
// clicks it: the pause button and the clock's menu answer, and the main
// window stays out of reach behind it.
TEST_F(GuiTest, EveryControlAnswersWhileTheJobRuns) {
    // Each read waits, so that the split lasts about two seconds on any
    // machine: no busy one finishes it before the first click reaches the
    // pause button.
    WriteFile(work / "big.bin", RandomBytes(16 << 20, 11));
    platform::testing::IoFaults slow;
    slow.readDelayMicros = 2000;
    platform::testing::ScopedIoFaults slowReads(slow);
    Open(work / "big.bin");
    SetSize("1");
    bool ran = false;
    QTimer::singleShot(0, [&] {
        ran = true;
        Job* job = processing->job();
        EXPECT_TRUE(processing->isEnabled());
        EXPECT_TRUE(Find<QWidget>("lblTest")->isEnabled());
        EXPECT_EQ(QApplication::activeModalWidget(), processing.get());

        ClickThroughWindow("lblTest");
        EXPECT_EQ(Text("lblTest"), "Continuer");
        EXPECT_EQ(Text("lblInfo"), "Découpage en pause...");
        ASSERT_TRUE(WorkerHeld(job));
        const int64_t heldAt = job->doneBytes;
        QThread::msleep(50);
        QApplication::processEvents();
        EXPECT_EQ(job->doneBytes.get(), heldAt);

        auto* menu = processing->findChild<QMenu*>("popTime");
        ClickThroughWindow("lblTemps", Qt::RightButton);
        ASSERT_TRUE(menu->isVisible());
        auto* remaining = processing->findChild<QAction*>("empsrestant1");
        QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier,
                          menu->actionGeometry(remaining).center());
        EXPECT_FALSE(menu->isVisible());
        EXPECT_TRUE(remaining->isChecked());
        EXPECT_EQ(processing->clockMode(), ProgressWindow::ClockMode::Remaining);
        ClickThroughWindow("imgTemps", Qt::RightButton);
        EXPECT_TRUE(menu->isVisible());
        QTest::keyClick(menu, Qt::Key_Escape);

        // The main window is hidden and, behind the modal window, deaf.
        EXPECT_FALSE(main->isVisible());
        ClickThroughWindow("imgBt");
        EXPECT_EQ(Text("lblTest"), "Pause");
    });
    Click("lblAction");
    EXPECT_TRUE(ran);
    EXPECT_EQ(Texts().back(), "Le fichier a été coupé avec succès !");
    EXPECT_EQ(std::filesystem::file_size(work / "big.bin.016.pcw"), 1048576u);
}

// Nothing of the progress window is drawn as disabled while it works.
TEST_F(GuiTest, TheProgressWindowIsNotGreyedDuringARun) {
    WriteFile(work / "big.bin", RandomBytes(8 << 20, 12));
    Open(work / "big.bin");
    SetSize("1");
    QStringList disabled;
    QTimer::singleShot(0, [&] {
        for (QWidget* w : processing->findChildren<QWidget*>())
            if (!w->isEnabled()) disabled << w->objectName();
        ClickThroughWindow("lblTest");
        ClickThroughWindow("lblTest");
    });
    Click("lblAction");
    EXPECT_TRUE(disabled.isEmpty()) << disabled.join(", ").toStdString();
}

TEST_F(GuiTest, TheWindowOnlyClosesAtTheEndOfItsJob) {
    WriteFile(work / "big.bin", RandomBytes(24 << 20, 10));
    Open(work / "big.bin");
    SetSize("1");
    bool stillShown = false;
    QTimer::singleShot(0, [&] {
        processing->TogglePause();  // keep the job running while we try
        // Closing and Escape ask whether to cancel; "Non" leaves the job be.
        Questions::SetNextAnswer(false);
        processing->close();
        QTest::keyClick(processing.get(), Qt::Key_Escape);  // no answer queued: "Non"
        stillShown = processing->isVisible();
        processing->TogglePause();
    });
    main->StartAction();
    EXPECT_TRUE(stillShown);
    EXPECT_EQ(Questions::Asked(),
              QStringList(2, "Voulez-vous vraiment annuler l'opération en cours ?"));
    EXPECT_EQ(Texts().back(), "Le fichier a été coupé avec succès !");
    // Back at rest for the next job.
    EXPECT_FALSE(processing->isVisible());
    EXPECT_EQ(Text("lblPourcentage"), "0 %");
    EXPECT_EQ(Text("lblDone"), "0 Mo");
    EXPECT_EQ(Text("lblPartie"), "...");
    EXPECT_EQ(Text("lblTemps"), "00:00:00");
    EXPECT_EQ(Find<QProgressBar>("bar1")->value(), 0);
}

TEST_F(GuiTest, AJoinPausesWithoutTouchingTheStatusLine) {
    NativeSet job;
    job.joining = true;
    processing->TakeJob(job, workflow::Direction::Join);
    processing->TogglePause();
    EXPECT_EQ(processing->pauseState, ProgressWindow::PauseState::JoinPaused);
    EXPECT_NE(Text("lblInfo"), "Découpage en pause...");
    EXPECT_TRUE(job.Suspended());
    processing->TogglePause();
    EXPECT_FALSE(job.Suspended());
    processing->ReleaseJob();
}

// A cancel as the user gives it: a click on the control, through the window,
// then "Oui". The run ends as cancelled and takes back what it made.
TEST_F(GuiTest, ACancelClickedDuringARunTakesBackWhatItMade) {
    const struct {
        const char* what;
        bool join, paused;
    } cases[] = {
        {"split", false, false},
        {"paused split", false, true},
        {"join", true, false},
    };
    SplitInto(work.path() + "/", "set.bin", 40 << 20, 12, false);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const size_t messagesBefore = Texts().size();
        if (c.join) {
            Click("rbJoindre");
            Open(work / "set.bin.001.pcw");
        } else {
            WriteFile(work / "big.bin", RandomBytes(160 << 20, 11));
            Click("rbCouper");
            Open(work / "big.bin");
            SetSize("1");
        }
        const auto before = ListDir(work.path());
        bool held = !c.paused;
        QTimer::singleShot(0, [&] {
            if (c.paused) {
                ClickThroughWindow("lblTest");
                held = WorkerHeld(processing->job());
            }
            Questions::SetNextAnswer(true);
            ClickThroughWindow("imgAnnuler");
        });
        main->StartAction();
        EXPECT_TRUE(held);
        ASSERT_EQ(Texts().size(), messagesBefore + 1);
        EXPECT_EQ(Texts().back(), "Le processus a été annulé.");
        EXPECT_FALSE(processing->isVisible());
        EXPECT_EQ(Text("lblTest"), "Pause");
        EXPECT_EQ(ListDir(work.path()), before);
        std::filesystem::remove(work / "big.bin");
    }
}

}  // namespace

// The cancel question holds the job while it is open, and "Non" lets it go on
// as it was: running, or still paused.
TEST_F(GuiTest, TheCancelQuestionHoldsTheJobUntilItIsAnswered) {
    WriteFile(work / "big.bin", RandomBytes(16 << 20, 13));
    platform::testing::IoFaults slow;
    slow.readDelayMicros = 2000;
    platform::testing::ScopedIoFaults slowReads(slow);
    for (const bool paused : {false, true}) {
        SCOPED_TRACE(paused ? "paused" : "running");
        Open(work / "big.bin");
        SetSize("1");
        bool heldWhileAsked = false, heldAfter = !paused;
        QTimer::singleShot(0, [&] {
            Job* job = processing->job();
            if (paused) ClickThroughWindow("lblTest");
            Questions::WhileAsking([&] { heldWhileAsked = WorkerHeld(job); });
            Questions::SetNextAnswer(false);
            ClickThroughWindow("imgAnnuler");
            heldAfter = job->Suspended();
            if (paused) ClickThroughWindow("lblTest");
        });
        main->StartAction();
        EXPECT_TRUE(heldWhileAsked);
        EXPECT_EQ(heldAfter, paused);
        EXPECT_EQ(Texts().back(), "Le fichier a été coupé avec succès !");
        for (const auto& part : ListDir(work.path()))
            if (part != "big.bin") std::filesystem::remove(work / part);
    }
}

bool Shown(const QPointer<QWidget>& widget) {
    const QWidget* w = widget.data();
    return w != nullptr && w->isVisible();
}

// A job that ends while the question is open (cancelled by a stop signal, say)
// closes the question, and the window closes as at any end.
TEST_F(GuiTest, AJobThatEndsUnderTheCancelQuestionClosesIt) {
    Questions::ExpectAnswers(false);  // the real question, on screen
    WriteFile(work / "big.bin", RandomBytes(16 << 20, 14));
    Open(work / "big.bin");
    SetSize("1");
    QPointer<QWidget> question;
    bool closedByTheEnd = false;
    // The end closes it, or the test does after a while; the timer goes with
    // the test, and never fires into the next one.
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QDialog*>(question.data())) box->reject();
    });
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(50, [&] {
            question = QApplication::activeModalWidget();
            ASSERT_NE(question.data(), processing.get());
            processing->job()->Cancel();
            giveUp.start(5000);
            for (int i = 0; i < 500 && Shown(question); ++i) {
                QApplication::processEvents();
                QThread::msleep(5);
            }
            closedByTheEnd = !Shown(question);
        });
        ClickThroughWindow("imgAnnuler");
    });
    main->StartAction();
    EXPECT_TRUE(closedByTheEnd);
    EXPECT_EQ(Texts().back(), "Le processus a été annulé.");
    EXPECT_FALSE(processing->isVisible());
    EXPECT_EQ(ListDir(work.path()), std::vector<std::string>{"big.bin"});
}

// The windows repaint their artwork under every label a job rewrites: each
// picture is rendered once per size, not at every repaint.
TEST_F(GuiTest, RepaintsReuseTheRenderedArtwork) {
    processing->show();
    processing->repaint();
    main->repaint();
    const int rendered = ArtworkRenderings();
    for (int i = 0; i < 5; ++i) {
        processing->ResetDisplay();
        processing->TogglePause();  // no job: the icons stay
        processing->repaint();
        main->repaint();
    }
    EXPECT_EQ(ArtworkRenderings(), rendered);
    processing->hide();
}
