#include "ui/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "settings/SavedSettings.h"
#include "texts/Texts.h"

namespace {

QTranslator* installed = nullptr;

}  // namespace

bool InstallTranslations() {
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

bool SpeakLanguage(std::string_view code) {
    if (!texts::UseLanguage(code)) return false;
    if (code != "fr") {
        if (installed) QCoreApplication::removeTranslator(installed);
        delete installed;
        installed = nullptr;
        return true;
    }
    // French dates too when the system has no say.
    if (QLocale::system().language() == QLocale::C)
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    return InstallTranslations();
}

bool SpeakSavedLanguage(const std::string& registryFolder) {
    SavedSettings saved({}, {}, registryFolder);
    saved.PeekSettings();
    return SpeakLanguage(platform::LanguageCodeFor(saved.LanguageChosen()));
}
