// The conversion window: what it shows of an older set, and a conversion
// that cannot be disturbed while it runs.
#include <QTimer>
#include <cstring>
#include <filesystem>

#include "GuiTest.h"
#include "formats/native/LegacySet.h"

using namespace testsupport;

namespace {

// A first part of the older format: lead block, data, description block,
// digests when asked, the rest of the data.
std::string OldFirstPart(const std::string& data, int32_t descriptionOffset, int32_t parts,
                         bool digests, const std::string& name, double date, int32_t originalSize) {
    std::string lead(36, '\0');
    lead[0] = 17;
    std::memcpy(&lead[1], "Corvane(c) - 2004", 17);
    const int32_t payload = static_cast<int32_t>(data.size());
    std::memcpy(&lead[20], &originalSize, 4);
    std::memcpy(&lead[24], &payload, 4);
    std::memcpy(&lead[28], &descriptionOffset, 4);
    std::string block(136, '\0');
    block[0] = 10;
    std::memcpy(&block[1], "Parcelwise", 10);
    block[11] = static_cast<char>(name.size());
    std::memcpy(&block[12], name.data(), name.size());
    std::memcpy(&block[112], &parts, 4);
    std::memcpy(&block[120], &date, 8);
    const int32_t flag = digests ? 1 : 0;
    std::memcpy(&block[128], &flag, 4);
    std::string digestArea =
        digests ? std::string(32 * static_cast<size_t>(parts), 'A') : std::string();
    return lead + data.substr(0, static_cast<size_t>(descriptionOffset)) + block + digestArea +
           data.substr(static_cast<size_t>(descriptionOffset));
}

class ConvertWindowTest : public GuiTest {
protected:
    QString Label(const char* name) { return convert->findChild<QLabel*>(name)->text(); }
    void Choose(const std::string& path) {
        FileDialogs::SetNextOpen(OpenChoice{QString::fromStdString(path), 1});
        convert->BrowseForSource();
    }
    // Runs the window modally while `during` acts on it, as the user would.
    void WithWindowShown(const std::function<void()>& during) {
        QTimer::singleShot(0, [this, during] {
            during();
            convert->CloseUnlessConverting();
        });
        convert->exec();
    }
};

TEST_F(ConvertWindowTest, ShowsWhatTheOlderSetDescribes) {
    const std::string data = RandomBytes(5000, 1);
    WriteFile(work / "film.avi.001.pcw",
              OldFirstPart(data, 1000, 3, true, "film.avi", 38418.0, 12000000));
    WithWindowShown([&] {
        convert->Convert();
        EXPECT_EQ(Texts().back(), "Vous n'avez ouvert aucun fichier !");
        Choose(work / "film.avi.001.pcw");
        EXPECT_EQ(Label("lblFichier"), "film.avi.001.pcw");
        EXPECT_EQ(Label("lblNom"), "film.avi");
        EXPECT_EQ(Label("lblTaille"), "11,44 Mo");
        EXPECT_EQ(Label("lblDate"), "07/03/2005");
        EXPECT_EQ(Label("lblMD5"), "Oui");
    });
    // Shown again: the labels of the set are emptied, the date stays.
    WithWindowShown([&] {
        EXPECT_EQ(Label("lblNom"), "");
        EXPECT_EQ(Label("lblMD5"), "");
        EXPECT_EQ(Label("lblDate"), "07/03/2005");
    });

    WriteFile(work / "plain.001.pcw", OldFirstPart(data, 0, 2, false, "plain", 38418.0, 6000));
    WithWindowShown([&] {
        Choose(work / "plain.001.pcw");
        EXPECT_EQ(Label("lblMD5"), "Non");
    });
}

TEST_F(ConvertWindowTest, AFileOfAnotherKindIsReportedAndCannotBeConverted) {
    WriteFile(work / "other.001.pcw", std::string(400, 'z'));
    WithWindowShown([&] {
        Choose(work / "other.001.pcw");
        ASSERT_FALSE(sink.messages().empty());
        EXPECT_EQ(sink.messages().back().text, "Format de fichier inconnu.");
        EXPECT_EQ(sink.messages().back().icon, 16);
        EXPECT_EQ(Label("lblFichier"), "");
        const size_t before = sink.messages().size();
        convert->Convert();
        ASSERT_EQ(sink.messages().size(), before + 1);
        EXPECT_EQ(Texts().back(), "Vous n'avez ouvert aucun fichier !");
    });
}

TEST_F(ConvertWindowTest, ConvertsAndThenAsksForAnotherFile) {
    const std::string data = RandomBytes(3 << 20, 2);
    const std::string part2 = RandomBytes(1000, 3);
    WriteFile(work / "big.bin.001.pcw",
              OldFirstPart(data, 4096, 2, false, "big.bin", 38418.0,
                           static_cast<int32_t>(data.size() + part2.size())));
    WriteFile(work / "big.bin.002.pcw", part2);
    bool ended = false;
    WithWindowShown([&] {
        Choose(work / "big.bin.001.pcw");
        QObject::connect(convert.get(), &ConvertWindow::conversionEnded, [&] { ended = true; });
        convert->Convert();
        // While it runs, the window stays and its buttons do nothing.
        convert->CloseUnlessConverting();
        convert->reject();
        EXPECT_TRUE(convert->isVisible());
        while (!ended) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        EXPECT_EQ(Texts().back(),
                  "Le fichier a été converti au format Parcelwise 1.1 avec succès !");
        EXPECT_EQ(Label("lblNom"), "big.bin");  // the labels keep the converted set
        convert->Convert();
        EXPECT_EQ(Texts().back(), "Vous n'avez ouvert aucun fichier !");
    });
    EXPECT_EQ(ReadFile(work / "big.bin.001.pcw").substr(104), data);
    EXPECT_TRUE(std::filesystem::exists(work / "big.bin.001.pcw.ancien"));
}

TEST_F(ConvertWindowTest, AReopenedWindowConvertsNothingItDoesNotShow) {
    WriteFile(work / "film.avi.001.pcw",
              OldFirstPart(RandomBytes(5000, 4), 1000, 3, false, "film.avi", 38418.0, 12000));
    WithWindowShown([&] { Choose(work / "film.avi.001.pcw"); });
    WithWindowShown([&] {
        convert->Convert();
        EXPECT_EQ(Texts().back(), "Vous n'avez ouvert aucun fichier !");
    });
    EXPECT_FALSE(std::filesystem::exists(work / "film.avi.001.pcw.ancien"));
}

TEST_F(ConvertWindowTest, MainWindowHidesWhileTheConversionWindowIsShown) {
    bool mainHidden = false;
    QTimer::singleShot(0, [&] {
        mainHidden = !main->isVisible();
        convert->CloseUnlessConverting();
    });
    main->OpenConvertWindow();
    EXPECT_TRUE(mainHidden);
    EXPECT_TRUE(main->isVisible());
}

}  // namespace
