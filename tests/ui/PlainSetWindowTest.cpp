// Plain sets from the windows: the choice among the settings, a split that
// cat and the checksum tools take as they are, and the presets past a native
// part's limit.
#include <sys/stat.h>

#include <QMenu>
#include <cstdlib>

#include "GuiTest.h"
#include "formats/plain/PlainSet.h"
#include "settings/SavedSettings.h"

using namespace testsupport;

namespace {

constexpr char kSplitDone[] = "Le fichier a été coupé avec succès !";

// Picks the entries of the dialog's two lists with the keyboard, then applies
// or abandons, once the dialog is shown.
void ChooseFormat(SettingsDialog& dialog, int format, int checksum, bool apply) {
    QTimer::singleShot(0, [&dialog, format, checksum, apply] {
        for (auto [box, index] : {std::pair{dialog.cboPartFormat(), format},
                                  std::pair{dialog.cboChecksum(), checksum}}) {
            box->setFocus();
            QTest::keyClick(box, Qt::Key_Home);
            for (int step = 0; step < index; ++step) QTest::keyClick(box, Qt::Key_Down);
        }
        QTest::mouseClick(dialog.findChild<QWidget*>(apply ? "lblGo" : "lblCancel"),
                          Qt::LeftButton);
    });
}

int Shell(const std::string& command) {
    return std::system(command.c_str());
}

class PlainSetWindowTest : public GuiTest {
protected:
    SavedSettings Saved() {
        SavedSettings fresh({}, "/usr/bin/parcelwise", home / "reg");
        platform::Messages said;
        fresh.LoadSettings(said);
        return fresh;
    }
};

TEST_F(PlainSetWindowTest, TheFormatIsSavedWhenAppliedAndShownAgain) {
    const struct {
        int format, checksum;
        bool apply;
        bool plain, sha256;  // saved afterwards
    } rows[] = {
        {1, 1, false, false, false},
        {1, 1, true, true, true},
        {1, 0, true, true, false},
        {0, 0, true, false, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.format << row.checksum << row.apply);
        ChooseFormat(*param, row.format, row.checksum, row.apply);
        Click("lblParam");
        EXPECT_EQ(main->params->plainSets, row.plain);
        EXPECT_EQ(main->params->plainSha256, row.sha256);
        const SavedSettings saved = Saved();
        EXPECT_EQ(saved.plainSets, row.plain);
        EXPECT_EQ(saved.plainSha256, row.sha256);
        // Shown again as saved; a plain set takes no recovery parts, and
        // only it has a checksum kind to choose.
        QTimer::singleShot(0, [this, row] {
            EXPECT_EQ(param->PlainChosen(), row.plain);
            EXPECT_EQ(param->Sha256Chosen(), row.sha256);
            EXPECT_EQ(param->spnRecovery()->isEnabled(), !row.plain);
            EXPECT_EQ(param->cboChecksum()->isEnabled(), row.plain);
            param->Abandon();
        });
        Click("lblParam");
    }
}

// NAME.001… that cat rebuilds byte for byte, with the checksum file that
// md5sum -c or sha256sum -c accepts, and no recovery parts whatever the
// settings ask.
TEST_F(PlainSetWindowTest, ASplitWritesAPlainSetThatOtherToolsRebuild) {
    PCW_SKIP_WITHOUT_COREUTILS();
    const struct {
        const char* digest;  // "" for no checksum file
        bool sha256;
        bool chosenAfterOpening;  // in the dialog, once the file is open
        const char* caption;
    } rows[] = {
        {"md5", false, false, "Créer Hash MD5"},
        {"sha256", true, false, "Créer Hash SHA256"},
        {"sha256", true, true, "Créer Hash SHA256"},
        {"", false, false, "Créer Hash MD5"},
    };
    const std::string original = RandomBytes(3 * 1048576 + 17, 31);
    const std::string out = work / "out/";
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.digest << row.chosenAfterOpening);
        std::filesystem::remove_all(work.path());
        std::filesystem::create_directories(out);
        main->params->recoveryParts = 2;
        main->params->plainSets = !row.chosenAfterOpening;
        main->params->plainSha256 = row.sha256;
        WriteFile(work / "film.avi", original);
        Click("rbCouper");
        Open(work / "film.avi");
        FileDialogs::SetNextFolder(QString::fromStdString(out));
        Click("lblChangerDossier");
        if (row.chosenAfterOpening) {
            ChooseFormat(*param, 1, 1, true);
            Click("lblParam");
        }
        EXPECT_EQ(Find<ClickLabel>("lblExtension")->shownText(), ".001");
        EXPECT_EQ(Text("lblMd5"), row.caption);
        const bool digests = *row.digest != 0;
        if (digests) Click("lblMd5");
        SetSize("1");
        main->StartAction();
        ASSERT_EQ(Texts().back(), kSplitDone);

        std::vector<std::string> expected = {"film.avi.001", "film.avi.002", "film.avi.003",
                                             "film.avi.004"};
        if (digests) expected.push_back(std::string("film.avi.") + row.digest);
        EXPECT_EQ(ListDir(out), expected);
        EXPECT_EQ(std::filesystem::file_size(out + "film.avi.001"), 1048576u);
        // The checksum file's last line checks the file that cat rebuilt.
        const std::string folder = "cd '" + out + "' && ";
        ASSERT_EQ(Shell(folder + "cat film.avi.0* > film.avi"), 0);
        EXPECT_EQ(ReadFile(out + "film.avi"), original);
        if (digests) {
            EXPECT_EQ(Shell(folder + row.digest + "sum --quiet --strict -c film.avi." + row.digest),
                      0);
        }
    }
}

// A preset past a native part's limit chosen for a plain set: the job cuts
// parts of that size (held at its start and cancelled: a sparse source, no
// 4 GiB written).
TEST_F(PlainSetWindowTest, APresetPastTheNativeLimitSizesAPlainSet) {
    const std::string source = work / "disque.img";
    WriteFile(source, "");
    std::filesystem::resize_file(FsPath(source), 5ULL << 30);
    platform::testing::OverrideFreeSpace(1LL << 40);
    main->params->plainSets = true;
    Open(source);
    ClickThroughWindow("lblTaille", Qt::RightButton);
    auto* menu = main->findChild<QMenu*>("mnuPresets");
    ASSERT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }, 2000));
    QAction* fat32 = menu->findChild<QAction*>("preset_fat32");
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(fat32).center());
    EXPECT_EQ(Text("lblTaille"), "fat32");

    main->job->Suspend();
    int64_t partSize = 0;
    QTimer::singleShot(0, [&] {
        Job& job = *processing->job();
        ASSERT_TRUE(QTest::qWaitFor([&] { return job.Gate().WorkerHeld(); }, 10000));
        ASSERT_EQ(job.formatKind, FormatKind::Numbered);
        partSize = static_cast<PlainSet&>(job).plainPartSize;
        Questions::SetNextAnswer(true);
        ClickThroughWindow("imgAnnuler");
    });
    main->StartAction();
    EXPECT_EQ(partSize, 4294967295);
    EXPECT_EQ(Texts().back(), "Le processus a été annulé.");
    EXPECT_EQ(ListDir(work.path()), std::vector<std::string>{"disque.img"});
}

}  // namespace
