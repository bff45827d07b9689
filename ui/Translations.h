// The windows' language: the catalogue's texts and Qt's own (buttons of the
// message boxes, the file dialogs, context menus) with them.
#pragma once

#include <string>
#include <string_view>

// Installs Qt's French translations for the application; false when the
// system has none (Debian's qt6-translations-l10n holds them).
bool InstallTranslations();

// Words the windows in the catalogue of `code` ("fr", "en"), with Qt's texts
// in the same language: its French from the system's translations, its
// English built in. Called before the windows are built, which word their
// captions once. False when there is no such catalogue (the texts then stay
// as they were) or Qt's French is missing.
bool SpeakLanguage(std::string_view code);

// The language the windows start in: the one chosen in the settings saved in
// `registryFolder`, or for the automatic choice the user's.
bool SpeakSavedLanguage(const std::string& registryFolder);
