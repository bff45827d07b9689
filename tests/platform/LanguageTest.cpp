// Which catalogue the user's system asks for.
#include <gtest/gtest.h>

#include <string>

#include "platform/Language.h"

using platform::LanguageOfLocale;

namespace {

struct LocaleCase {
    const char* language;
    const char* lcAll;
    const char* lcMessages;
    const char* lang;
    const char* code;
};

TEST(Language, TheLocaleVariablesChooseAsGettextDoes) {
    const LocaleCase cases[] = {
        // LANGUAGE, LC_ALL, LC_MESSAGES, LANG
        {"", "", "", "fr_FR.UTF-8", "fr"},
        {"", "", "", "fr_CA", "fr"},
        {"", "", "", "fr", "fr"},
        {"", "", "", "fr_BE@euro", "fr"},
        {"", "", "", "de_DE", "en"},
        {"", "", "", "en_US.UTF-8", "en"},
        {"", "", "", "ja_JP.eucJP", "en"},
        // Only the language part counts: North Frisian is not French.
        {"", "", "", "frr_DE", "en"},
        // Nothing set, C and POSIX speak the reference.
        {"", "", "", "", "fr"},
        {"", "", "", "C", "fr"},
        {"", "", "", "C.UTF-8", "fr"},
        {"", "", "", "POSIX", "fr"},
        // An empty variable hands over to the next one.
        {"", "", "en_GB.UTF-8", "fr_FR.UTF-8", "en"},
        {"", "de_DE.UTF-8", "fr_FR", "fr_FR", "en"},
        {"", "fr_FR.UTF-8", "en_US", "en_US", "fr"},
        {"", "", "fr_FR", "de_DE", "fr"},
        // LANGUAGE comes first, its first entry that has a catalogue.
        {"en", "", "", "fr_FR.UTF-8", "en"},
        {"fr", "de_DE.UTF-8", "", "", "fr"},
        {"de:fr", "", "", "de_DE.UTF-8", "fr"},
        {"de:en_GB:fr", "", "", "de_DE.UTF-8", "en"},
        {"pt_BR:pt", "", "", "fr_FR.UTF-8", "en"},
        {"::fr:", "", "", "it_IT", "fr"},
        // ...but the C locale ignores it, as gettext does: LC_ALL=C is the reference.
        {"en", "C", "", "en_US.UTF-8", "fr"},
        {"en", "C.UTF-8", "", "", "fr"},
        {"en", "", "", "", "fr"},
        {"de", "", "POSIX", "de_DE", "fr"},
    };
    for (const LocaleCase& c : cases) {
        SCOPED_TRACE(std::string("LANGUAGE=") + c.language + " LC_ALL=" + c.lcAll +
                     " LC_MESSAGES=" + c.lcMessages + " LANG=" + c.lang);
        EXPECT_EQ(LanguageOfLocale({c.language, c.lcAll, c.lcMessages, c.lang}), c.code);
    }
}

TEST(Language, WindowsFrenchOfEveryCountryIsFrench) {
    const struct {
        uint16_t languageId;
        const char* code;
    } cases[] = {
        {0x040c, "fr"},  // France
        {0x0c0c, "fr"},  // Canada
        {0x100c, "fr"},  // Switzerland
        {0x0409, "en"},  // United States
        {0x0407, "en"},  // Germany
        {0x040b, "en"},  // Finland: 0x0b, one below French
        {0x0000, "en"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::LanguageOfWindowsUi(c.languageId), c.code) << c.languageId;
}

TEST(Language, TheSettingNamesALanguageOrLeavesItToTheSystem) {
    EXPECT_EQ(platform::LanguageCodeFor(platform::LanguageChoice::French), "fr");
    EXPECT_EQ(platform::LanguageCodeFor(platform::LanguageChoice::English), "en");
    EXPECT_EQ(platform::LanguageCodeFor(platform::LanguageChoice::Automatic),
              platform::UserLanguage());
}

}  // namespace
