// The language the program speaks: the user's, as the system tells it, or the
// one chosen in the settings. Every language ends up as one of the
// catalogues' codes: "fr" (the reference) or "en".
#pragma once

#include <cstdint>
#include <string_view>

namespace platform {

// The values of the variables that name a POSIX user's language; empty for a
// variable that is unset.
struct LocaleVariables {
    std::string_view language;    // LANGUAGE: a list of languages, by ':'
    std::string_view lcAll;       // LC_ALL
    std::string_view lcMessages;  // LC_MESSAGES
    std::string_view lang;        // LANG
};

// The catalogue for those variables, as gettext would choose one:
// - the locale of messages is the first of LC_ALL, LC_MESSAGES and LANG that
//   is not empty; none, "C", "C.<anything>" or "POSIX" is the C locale, which
//   speaks the reference (French), LANGUAGE notwithstanding, so that a script
//   or a test that sets LC_ALL=C reads what it has always read;
// - otherwise LANGUAGE, when set, decides: its first entry that has a
//   catalogue (fr…, en…), the others skipped ("de:fr" is French); a list of
//   languages without any catalogue is English;
// - otherwise the locale decides: French for fr…, English for every other.
// A language is the part of a name before '_', '.' or '@': "fr_CA.UTF-8" is
// French, "frr_DE" (North Frisian) is not.
std::string_view LanguageOfLocale(const LocaleVariables& variables);

// The catalogue for a Windows UI language (a LANGID): French for every French
// (primary language 0x0c), English for every other.
std::string_view LanguageOfWindowsUi(uint16_t languageId);

// The user's language, read from the system: the variables above on POSIX
// systems, the user's UI language on Windows.
std::string_view UserLanguage();

// The language setting of the windows.
enum class LanguageChoice : uint8_t { Automatic, French, English };

// The catalogue's code for a choice; Automatic is the user's language.
std::string_view LanguageCodeFor(LanguageChoice choice);

}  // namespace platform
