#include "platform/Language.h"

namespace platform {

namespace {

constexpr std::string_view kFrench = "fr";
constexpr std::string_view kEnglish = "en";

// "fr_CA.UTF-8@euro" names the language "fr".
std::string_view LanguagePart(std::string_view locale) {
    return locale.substr(0, locale.find_first_of("_.@"));
}

bool IsCLocale(std::string_view locale) {
    return locale.empty() || locale == "POSIX" || LanguagePart(locale) == "C";
}

// The catalogue that speaks a locale's language, or nothing.
std::string_view CatalogueFor(std::string_view locale) {
    const std::string_view language = LanguagePart(locale);
    if (language == kFrench) return kFrench;
    if (language == kEnglish) return kEnglish;
    return {};
}

}  // namespace

std::string_view LanguageOfLocale(const LocaleVariables& variables) {
    std::string_view locale = variables.lcAll;
    if (locale.empty()) locale = variables.lcMessages;
    if (locale.empty()) locale = variables.lang;
    if (IsCLocale(locale)) return kFrench;
    if (!variables.language.empty()) {
        std::string_view list = variables.language;
        while (!list.empty()) {
            const size_t colon = list.find(':');
            if (const std::string_view had = CatalogueFor(list.substr(0, colon)); !had.empty())
                return had;
            list = colon == std::string_view::npos ? std::string_view() : list.substr(colon + 1);
        }
        return kEnglish;
    }
    const std::string_view had = CatalogueFor(locale);
    return had.empty() ? kEnglish : had;
}

std::string_view LanguageOfWindowsUi(uint16_t languageId) {
    constexpr uint16_t kPrimaryLanguageMask = 0x3ff;
    constexpr uint16_t kPrimaryFrench = 0x0c;
    return (languageId & kPrimaryLanguageMask) == kPrimaryFrench ? kFrench : kEnglish;
}

std::string_view LanguageCodeFor(LanguageChoice choice) {
    switch (choice) {
        case LanguageChoice::French:
            return kFrench;
        case LanguageChoice::English:
            return kEnglish;
        case LanguageChoice::Automatic:
            break;
    }
    return UserLanguage();
}

}  // namespace platform
