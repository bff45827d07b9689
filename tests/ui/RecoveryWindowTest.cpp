// Recovery parts from the windows: the count among the settings, the parts a
// split writes, and a join that rebuilds what a set lost.
#include <cstdlib>

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
    int Verify(const std::string& part) {
        return std::system(("'" PCW_BINARY "' verify '" + part + "' >/dev/null 2>&1").c_str());
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
    main->StartAction();
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
