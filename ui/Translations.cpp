#include "ui/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool InstallTranslations() {
    static QTranslator* installed = nullptr;
    if (installed) return true;
    auto* translator = new QTranslator(QCoreApplication::instance());
    const QLocale french(QLocale::French, QLocale::France);
    // Qt's own folder where Qt is installed (Linux); beside the program where
    // windeployqt put Qt with it (Windows).
    if (!translator->load(french, "qtbase", "_",
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        !translator->load(french, "qtbase", "_",
                          QCoreApplication::applicationDirPath() + "/translations")) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    installed = translator;
    return true;
}
