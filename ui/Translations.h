// Qt's own texts (buttons of the message boxes, the file dialogs, context
// menus) in the program's language.
#pragma once

// Installs Qt's French translations for the application; false when the
// system has none (Debian's qt6-translations-l10n holds them).
bool InstallTranslations();
