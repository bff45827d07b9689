// Runs one split or join through the main window, headless, as a user would
// from the windows, and prints how long the action took (from the click on
// the action to the window's return), so that the bench can set it against
// the same run with pcw.
//
//   pcw_guibench split SOURCE SIZE_MB BUFFER FOLDER NAME
//   pcw_guibench join FIRST_PART BUFFER FOLDER
#include <QApplication>
#include <QLineEdit>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/Messages.h"
#include "settings/UzelParams.h"
#include "ui/Seams.h"
#include "ui/Unit1.h"
#include "ui/Unit3.h"
#include "ui/u_frmconvert.h"
#include "ui/u_parametre.h"

namespace {

// Prints every message and remembers whether the last one was a success.
class Sink final : public platform::MessageSink {
public:
    void Show(platform::WindowHandle, std::string_view text, std::string_view title,
              int icon) override {
        std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(title.size()), title.data(),
                     static_cast<int>(text.size()), text.data());
        succeeded = icon == platform::kIconInfo;
    }
    bool succeeded = false;
};

void Type(TfrmMain& main, const QString& text) {
    auto* editor = main.findChild<QLineEdit*>("edTemp");
    editor->setText(text);
    main.edTempKeyPress(QChar(13));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr,
                     "usage: pcw_guibench split SOURCE SIZE_MB BUFFER FOLDER NAME | join FIRST "
                     "BUFFER FOLDER\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Sink sink;
    platform::SetMessageSink(&sink);
    FileDialogs::ExpectAnswers(true);

    const std::string command = argv[1];
    const bool split = command == "split";
    TfrmMain main(
        {}, "/usr/bin/parcelwise",
        std::getenv("PARCELWISE_REGISTRY_DIR") ? std::getenv("PARCELWISE_REGISTRY_DIR") : "/tmp");
    TfrmProcessing processing(&main);
    TfrmParam param(main.params.get(), &main);
    TfrmConvert convert(&main);
    main.SetWindows(&processing, &param, &convert);
    main.show();
    main.FormActivate();
    main.SetMode(split ? 1 : 0);

    main.params->bufferSize = static_cast<uint32_t>(std::atoi(argv[split ? 4 : 3]));
    FileDialogs::SetNextOpen(OpenChoice{QString::fromLocal8Bit(argv[2]), 1});
    main.lblOuvrirClick();
    FileDialogs::SetNextFolder(QString::fromLocal8Bit(argv[split ? 5 : 4]));
    main.lblChangerDossierClick();
    if (split) {
        main.lblTailleClick();
        Type(main, QString::fromLocal8Bit(argv[3]));
        main.lblDestClick();
        Type(main, QString::fromLocal8Bit(argv[6]));
    }

    const auto start = std::chrono::steady_clock::now();
    main.lblActionClick();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("%.3f\n", took.count());
    platform::SetMessageSink(nullptr);
    return sink.succeeded ? 0 : 1;
}
