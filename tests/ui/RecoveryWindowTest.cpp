// Recovery parts from the windows: the count among the settings, the parts a
// split writes, and a join that rebuilds what a set lost.
#include <algorithm>
#include <cstdlib>
#include <functional>

#include <QThread>

#include "GuiTest.h"
#include "formats/recovery/RecoverySet.h"
#include "settings/SavedSettings.h"

using namespace testsupport;

namespace {

constexpr char kSplitDone[] = "Le fichier a été coupé avec succès !";

// Sets the dialog's count of recovery parts with the keyboard, then applies.
void ChooseRecoveryParts(SettingsDialog& dialog, int count, bool apply) {
    QTimer::singleShot(0, [&dialog, count, apply] {
        QSpinBox* spin = dialog.spnRecovery();
        spin->setFocus();
        QTest::keyClick(spin, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(spin, QString::number(count));
        if (apply)
            QTest::mouseClick(dialog.findChild<QWidget*>("lblGo"), Qt::LeftButton);
        else
            QTest::mouseClick(dialog.findChild<QWidget*>("lblCancel"), Qt::LeftButton);
    });
}

class RecoveryWindowTest : public GuiTest {
protected:
    // Runs the window's action with its job held at its first pause point,
    // then `whileHeld` once the worker is held again where `holdAgain` put it
    // (no more than a job's start when it is empty).
    void RunHeld(const std::function<void(Job&)>& holdAgain,
                 const std::function<void()>& whileHeld) {
        main->job->Suspend();
        QTimer::singleShot(0, [&] {
            Job& job = *processing->job();
            ASSERT_TRUE(QTest::qWaitFor([&] { return job.Gate().WorkerHeld(); }, 10000));
            if (holdAgain) {
                holdAgain(job);
                job.Resume();
                ASSERT_TRUE(QTest::qWaitFor(
                    [&] { return job.step == Step::Finishing && job.Gate().WorkerHeld(); }, 10000));
            }
            whileHeld();
        });
        main->StartAction();
    }
    // Whether the progress window comes to show `status`, which it applies a
    // few times a second.
    bool ShowsStatus(const std::string& status) {
        return QTest::qWaitFor([&] { return Text("lblInfo") == QString::fromStdString(status); },
                               5000);
    }
    std::vector<std::string> TemporaryFiles() {
        std::vector<std::string> found;
        for (const std::string& name : ListDir(work.path()))
            if (name.find(".incomplet") != std::string::npos) found.push_back(name);
        return found;
    }

    int32_t SavedCount() {
        SavedSettings fresh({}, "/usr/bin/parcelwise", home / "reg");
        platform::Messages said;
        fresh.LoadSettings(said);
        return fresh.recoveryParts;
    }
    // Splits `original` from the window into 1 Mo parts, with the recovery
    // parts of the settings.
    void SplitFromWindow(const std::string& original, int recoveryParts) {
        main->params->recoveryParts = recoveryParts;
        WriteFile(work / "film.avi", original);
        Open(work / "film.avi");
        SetSize("1");
        main->StartAction();
        ASSERT_EQ(Texts().back(), kSplitDone);
        std::filesystem::remove(work / "film.avi");
    }
    // The set judged by pcw, as a recipient judges it.
    int Verify(const std::string& part) {
#ifdef _WIN32
        // cmd takes the outer quotes off the whole line.
        return std::system(("\"\"" PCW_BINARY "\" verify \"" + part + "\" >NUL 2>&1\"").c_str());
#else
        return std::system(("'" PCW_BINARY "' verify '" + part + "' >/dev/null 2>&1").c_str());
#endif
    }
};

TEST_F(RecoveryWindowTest, TheCountIsSavedWhenAppliedOnly) {
    EXPECT_EQ(main->params->recoveryParts, 0);
    ChooseRecoveryParts(*param, 3, false);
    Click("lblParam");
    EXPECT_EQ(main->params->recoveryParts, 0);
    EXPECT_EQ(SavedCount(), 0);

    ChooseRecoveryParts(*param, 2, true);
    Click("lblParam");
    EXPECT_EQ(main->params->recoveryParts, 2);
    EXPECT_EQ(SavedCount(), 2);
    // Shown again as saved.
    QTimer::singleShot(0, [this] {
        EXPECT_EQ(param->spnRecovery()->value(), 2);
        param->Abandon();
    });
    Click("lblParam");
}

TEST_F(RecoveryWindowTest, ASplitWritesTheRecoveryPartsOfTheSettings) {
    const struct {
        int64_t size;
        int asked;
        int written;  // no more than the set has parts
    } rows[] = {
        {3 * 1048576 + 7, 2, 2},
        {2 * 1048576 - 5, 3, 2},
        {2 * 1048576 + 5, 0, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.asked);
        for (const auto& entry : std::filesystem::directory_iterator(work.path()))
            std::filesystem::remove(entry.path());
        SplitFromWindow(RandomBytes(static_cast<size_t>(row.size), 11), row.asked);
        for (int index = 0; index < 3; ++index)
            EXPECT_EQ(std::filesystem::exists(work / recovery::RecoveryPartName("film.avi", index)),
                      index < row.written);
        EXPECT_EQ(Verify(work / "film.avi.001.pcw"), 0);
    }
}

// The recovery parts are the split's last step in the progress window: held
// there, they are under temporary names, no message has come yet, and the
// window's buttons answer; a cancel takes back every one of them and leaves
// the split's parts as they were.
TEST_F(RecoveryWindowTest, TheRecoveryPartsAreAStepOfTheSplitInItsWindow) {
    const struct {
        const char* what;
        bool coding;  // held once it codes; otherwise while it hashes the set's last part
        bool cancel;
    } cases[] = {{"paused and resumed while it codes", true, false},
                 {"cancelled while it codes", true, true},
                 {"cancelled while it hashes", false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (const auto& entry : std::filesystem::directory_iterator(work.path()))
            std::filesystem::remove(entry.path());
        main->params->recoveryParts = 2;
        WriteFile(work / "film.avi", RandomBytes(3 * 1048576 + 17, 14));
        Click("rbCouper");
        Open(work / "film.avi");
        SetSize("1");
        const size_t messagesBefore = Texts().size();
        std::vector<std::string> setWhileHeld;  // without the step's own files
        RunHeld(
            [](Job& job) {
                // Held again at the step's first pause point.
                job.finishingStep = [inner = std::move(job.finishingStep)](Job& running) {
                    running.Suspend();
                    return inner(running);
                };
            },
            [&] {
                // On from one pause point to the next until the parts are coded.
                Job& job = *processing->job();
                if (c.coding) {
                    ASSERT_TRUE(QTest::qWaitFor(
                        [&] {
                            if (!TemporaryFiles().empty()) return job.Gate().WorkerHeld();
                            job.Resume();
                            QThread::msleep(1);
                            job.Suspend();
                            return false;
                        },
                        10000));
                }
                for (const std::string& name : ListDir(work.path()))
                    if (name.find(".incomplet") == std::string::npos) setWhileHeld.push_back(name);
                EXPECT_TRUE(processing->isVisible());
                EXPECT_TRUE(ShowsStatus("Écriture des fichiers de secours..."));
                EXPECT_EQ(Texts().size(), messagesBefore);
                EXPECT_EQ(TemporaryFiles().size(), c.coding ? 2u : 0u);
                EXPECT_FALSE(std::filesystem::exists(work / "film.avi.R01.pcw"));
                if (c.cancel) {
                    Questions::SetNextAnswer(true);
                    ClickThroughWindow("imgAnnuler");
                    return;
                }
                ClickThroughWindow("lblTest");
                EXPECT_EQ(Text("lblTest"), "Continuer");
                ClickThroughWindow("lblTest");
            });
        ASSERT_EQ(Texts().size(), messagesBefore + 1);
        EXPECT_FALSE(processing->isVisible());
        EXPECT_TRUE(TemporaryFiles().empty());
        for (int index = 0; index < 2; ++index)
            EXPECT_EQ(std::filesystem::exists(work / recovery::RecoveryPartName("film.avi", index)),
                      !c.cancel);
        if (c.cancel) {
            // A cancel stops the whole job: the parts go with the recovery parts.
            EXPECT_EQ(Texts().back(), "Le processus a été annulé.");
            EXPECT_GT(setWhileHeld.size(), 1u);
            EXPECT_EQ(ListDir(work.path()), std::vector<std::string>{"film.avi"});
        } else {
            EXPECT_EQ(Texts().back(), kSplitDone);
            EXPECT_EQ(Verify(work / "film.avi.001.pcw"), 0);
        }
    }
}

// A recovery part that cannot be written fails the split with its reason:
// never a success, and nothing of the step left behind.
TEST_F(RecoveryWindowTest, ARecoveryPartInTheWayFailsTheSplit) {
    main->params->recoveryParts = 2;
    WriteFile(work / "film.avi", RandomBytes(3 * 1048576 + 17, 15));
    WriteFile(work / "film.avi.R02.pcw", "someone else's");
    Open(work / "film.avi");
    SetSize("1");
    const size_t messagesBefore = Texts().size();
    main->StartAction();
    const std::vector<std::string> said = Texts();
    ASSERT_GE(said.size(), messagesBefore + 2);
    EXPECT_NE(said[messagesBefore].find(work / "film.avi.R02.pcw"), std::string::npos)
        << said[messagesBefore];
    EXPECT_EQ(std::count(said.begin() + long(messagesBefore), said.end(), kSplitDone), 0);
    EXPECT_FALSE(std::filesystem::exists(work / "film.avi.R01.pcw"));
    EXPECT_EQ(ReadFile(work / "film.avi.R02.pcw"), "someone else's");
    EXPECT_TRUE(TemporaryFiles().empty());
}

TEST_F(RecoveryWindowTest, AJoinRebuildsTheLostPartsOnTheWay) {
    const std::string original = RandomBytes(4 * 1048576 + 321, 12);
    const std::string middle = work / "film.avi.002.pcw";
    const std::string last = work / "film.avi.005.pcw";
    SplitFromWindow(original, 2);
    std::filesystem::remove(middle);
    WriteFile(last, "damaged");

    Click("rbJoindre");
    Open(work / "film.avi.001.pcw");
    ASSERT_TRUE(main->job->opened);
    // It runs in the progress window, held there by its first pause point.
    RunHeld({}, [&] {
        EXPECT_TRUE(processing->isVisible());
        EXPECT_TRUE(ShowsStatus("Reconstruction des fichiers perdus et assemblage..."));
        processing->job()->Resume();
    });
    const std::string said = Texts().back();
    EXPECT_NE(said.find("Fichier n°2 (" + middle + ") reconstruit"), std::string::npos) << said;
    EXPECT_NE(said.find("Fichier n°5 (" + last + ") reconstruit"), std::string::npos) << said;
    EXPECT_EQ(ReadFile(work / "film.avi"), original);
}

// The first part, which holds the set's header, or the last, which ends it:
// the set opens from what its recovery parts say and the join rebuilds them.
TEST_F(RecoveryWindowTest, AJoinRebuildsTheFirstOrLastPartFromAnyFileOfTheSet) {
    const std::string original = RandomBytes(3 * 1048576 + 99, 13);
    const struct {
        std::vector<std::string> lost;
        std::string opened;
    } rows[] = {
        {{"film.avi.001.pcw"}, "film.avi.002.pcw"},
        {{"film.avi.001.pcw", "film.avi.004.pcw"}, "film.avi.R02.pcw"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.opened);
        for (const auto& entry : std::filesystem::directory_iterator(work.path()))
            std::filesystem::remove(entry.path());
        Click("rbCouper");
        SplitFromWindow(original, 2);
        for (const std::string& name : row.lost) std::filesystem::remove(work / name);
        Click("rbJoindre");
        Open(work / row.opened);
        ASSERT_TRUE(main->job->opened) << (Texts().empty() ? "" : Texts().back());
        main->StartAction();
        const std::string said = Texts().back();
        for (const std::string& name : row.lost)
            EXPECT_NE(said.find(" (" + work / name + ") reconstruit"), std::string::npos) << said;
        // One line per part: no line's end shown as a control.
        EXPECT_EQ(platform::VisibleMessage(said).find("\\x0a"), std::string::npos) << said;
        EXPECT_EQ(ReadFile(work / "film.avi"), original);
    }
}

}  // namespace
