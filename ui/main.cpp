// The program: the main window and the three windows it shows modally.
#include <QApplication>
#include <QFontDatabase>

#include "platform/Env.h"
#include "platform/Registry.h"
#include "settings/DesktopAssociation.h"
#include "ui/ConvertWindow.h"
#include "ui/GuiMessageSink.h"
#include "ui/MainWindow.h"
#include "ui/ProgressWindow.h"
#include "ui/SettingsDialog.h"
#include "ui/Skin.h"
#include "ui/StopRequests.h"
#include "ui/Translations.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Parcelwise 1.1");
    // The desktop then takes the window for the program of the menu entry,
    // installed or written at start, and shows one item and its icon for both.
    // Windows knows the program by its file and icon alone.
    if constexpr (kUsesDesktopFiles) QGuiApplication::setDesktopFileName(kDesktopId);
    // The windows are drawn for Arial's widths, in whichever font has them.
    UseSkinFamilies();
    QApplication::setWindowIcon(QIcon(ArtworkPixmap("app", QSize(64, 64))));
    // Windows hands main its arguments in the ANSI code page, where most names
    // cannot be written; Qt has them in UTF-16. Linux's bytes are the names.
    std::vector<std::string> args;
#ifdef _WIN32
    const QStringList arguments = QCoreApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i) args.push_back(arguments[i].toStdString());
#else
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
#endif

    // The windows word their captions when they are built: their language
    // comes first, the saved choice or the system's.
    SpeakSavedLanguage(platform::RegistryFolder());

    GuiMessageSink sink;
    platform::SetMessageSink(&sink);

    MainWindow frmMain(args, platform::ExecutablePath(), platform::RegistryFolder());
    ProgressWindow frmProcessing(&frmMain);
    SettingsDialog frmParam(frmMain.params.get(), &frmMain);
    ConvertWindow frmConvert(&frmMain);
    frmMain.SetWindows(&frmProcessing, &frmParam, &frmConvert);
    // A logout or a kill cancels the running job, which takes back its files.
    StopRequests stops(frmMain, frmProcessing, frmConvert,
                       [](int status) { QCoreApplication::exit(status); });

    frmMain.show();
    const int result = QApplication::exec();
    platform::SetMessageSink(nullptr);
    return result;
}
