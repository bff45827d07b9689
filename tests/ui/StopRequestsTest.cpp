// The windows asked to stop, as a logout asks them (SIGTERM, SIGHUP): the job
// that runs is cancelled and takes back what it made, whatever holds it, the
// settings are saved, and the program ends with the signal's status.
#include <QThread>
#include <QTimer>
#include <chrono>
#include <csignal>

#include <unistd.h>

#include "GuiTest.h"
#include "settings/SavedSettings.h"
#include "ui/GuiMessageSink.h"
#include "ui/StopRequests.h"

using namespace testsupport;

namespace {

TEST_F(GuiTest, AStopSignalCancelsTheJobAndEndsTheProgram) {
    const struct {
        const char* what;
        bool run, paused, question, box, realSignal;
        int signal;
    } cases[] = {
        {"idle", false, false, false, false, false, SIGTERM},
        {"idle, a real signal", false, false, false, false, true, SIGHUP},
        {"a message box on screen", false, false, false, true, false, SIGTERM},
        {"split", true, false, false, false, false, SIGTERM},
        {"paused split", true, true, false, false, false, SIGHUP},
        {"split under the cancel question", true, false, true, false, false, SIGTERM},
        {"split, a real signal", true, false, false, false, true, SIGTERM},
    };
    WriteFile(work / "big.bin", RandomBytes(16 << 20, 15));
    platform::testing::IoFaults slow;
    slow.readDelayMicros = 2000;
    platform::testing::ScopedIoFaults slowReads(slow);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const size_t messagesBefore = Texts().size();
        int status = -1;
        StopRequests stops(
            *main, *processing, *convert, [&](int s) { status = s; }, c.realSignal);
        auto stop = [&] {
            if (c.realSignal)
                ::kill(::getpid(), c.signal);
            else
                stops.Stop(c.signal);
        };
        Questions::ExpectAnswers(!c.question);  // the real question, on screen
        main->params->defaultSize = 42;         // not saved yet
        if (c.run) {
            Open(work / "big.bin");
            SetSize("1");
            main->params->defaultSize = 42;
            QTimer::singleShot(0, [&] {
                if (c.paused) ClickThroughWindow("lblTest");
                if (!c.question) return stop();
                QTimer::singleShot(30, stop);
                ClickThroughWindow("imgAnnuler");
            });
            main->StartAction();
        } else if (c.box) {
            GuiMessageSink boxes;
            platform::SetMessageSink(&boxes);
            QTimer::singleShot(30, stop);
            main->ShowAbout();  // returns once the stop has closed its box
            EXPECT_EQ(platform::CurrentMessageSink() == &boxes, false);
            platform::SetMessageSink(&sink);
        } else {
            stop();
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (status < 0 && std::chrono::steady_clock::now() < deadline) {
            QApplication::processEvents();
            QThread::msleep(5);
        }
        EXPECT_EQ(status, 128 + c.signal);
        EXPECT_EQ(ListDir(work.path()), std::vector<std::string>{"big.bin"});
        if (c.run) {
            ASSERT_EQ(Texts().size(), messagesBefore + 1);
            EXPECT_EQ(Texts().back(), "Le processus a été annulé.");
        } else {
            EXPECT_EQ(Texts().size(), messagesBefore);
        }
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        SavedSettings saved({}, "/usr/bin/parcelwise", home / "reg");
        platform::Messages said;
        saved.LoadSettings(said);
        EXPECT_EQ(saved.defaultSize, 42);
    }
}

}  // namespace
