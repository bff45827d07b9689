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
#include "settings/SavedSettings.h"
#include "ui/ConvertWindow.h"
#include "ui/MainWindow.h"
#include "ui/ProgressWindow.h"
#include "ui/Seams.h"
#include "ui/SettingsDialog.h"

namespace {

// Prints every message and remembers whether the last one was a success.
class Sink final : public platform::MessageSink {
public:
    void Show(platform::WindowHandle, std::string_view text, std::string_view title,
              platform::Icon icon) override {
        std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(title.size()), title.data(),
                     static_cast<int>(text.size()), text.data());
        succeeded = icon == platform::Icon::Info;
    }
    bool succeeded = false;
};

void Type(MainWindow& main, const QString& text) {
    auto* editor = main.findChild<QLineEdit*>("edTemp");
    editor->setText(text);
    main.EditorKeyPress(Qt::Key_Return);
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
    MainWindow main(
        {}, "/usr/bin/parcelwise",
        std::getenv("PARCELWISE_REGISTRY_DIR") ? std::getenv("PARCELWISE_REGISTRY_DIR") : "/tmp");
    ProgressWindow processing(&main);
    SettingsDialog param(main.params.get(), &main);
    ConvertWindow convert(&main);
    main.SetWindows(&processing, &param, &convert);
    main.show();
    main.FirstActivation();
    main.SetMode(split ? workflow::Direction::Split : workflow::Direction::Join);

    main.params->bufferSize = static_cast<uint32_t>(std::atoi(argv[split ? 4 : 3]));
    FileDialogs::SetNextOpen(OpenChoice{QString::fromLocal8Bit(argv[2]), 1});
    main.BrowseForSource();
    FileDialogs::SetNextFolder(QString::fromLocal8Bit(argv[split ? 5 : 4]));
    main.ChooseDestFolder();
    if (split) {
        main.EditSize();
        Type(main, QString::fromLocal8Bit(argv[3]));
        main.EditDestName();
        Type(main, QString::fromLocal8Bit(argv[6]));
    }

    const auto start = std::chrono::steady_clock::now();
    main.StartAction();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("%.3f\n", took.count());
    platform::SetMessageSink(nullptr);
    return sink.succeeded ? 0 : 1;
}
