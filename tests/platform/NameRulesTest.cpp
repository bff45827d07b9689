// The rules a file name must follow on each system, tested on every system:
// names come from part files made anywhere.
#include <gtest/gtest.h>

#include <string>

#include "platform/Fs.h"

using platform::NameRules;

namespace {

struct NameCase {
    std::string stored, posix, windows;
};

// Device names open the device on Windows, whatever follows the first dot;
// the characters Windows refuses and the trailing dots and blanks it drops
// would make a file that cannot be found again by its name.
TEST(NameRules, WindowsNamesNeverOpenADeviceNorLoseTheirEnd) {
    const NameCase cases[] = {
        {"NUL", "NUL", "_NUL"},
        {"nul.txt", "nul.txt", "_nul.txt"},
        {"Com1.tar.gz", "Com1.tar.gz", "_Com1.tar.gz"},
        {"con", "con", "_con"},
        {"PrN.doc", "PrN.doc", "_PrN.doc"},
        {"aux", "aux", "_aux"},
        {"LPT9", "LPT9", "_LPT9"},
        {"com0.bin", "com0.bin", "_com0.bin"},
        {"lpt\xC2\xB9.txt", "lpt\xC2\xB9.txt", "_lpt\xC2\xB9.txt"},  // LPT¹
        {"CONOUT$", "CONOUT$", "_CONOUT$"},
        {"nul .txt", "nul .txt", "_nul .txt"},  // blanks before the dot do not count
        // Near misses stay as they are.
        {"COM10", "COM10", "COM10"},
        {"console.log", "console.log", "console.log"},
        {"film.nul", "film.nul", "film.nul"},
        {".con", ".con", ".con"},
        {"nullité", "nullité", "nullité"},
        {"a<b>c:d\"e|f?g*h", "a<b>c:d\"e|f?g*h", "a_b_c_d_e_f_g_h"},
        {"C:\\Windows\\win.ini", "C:\\Windows\\win.ini", "C__Windows_win.ini"},
        {"fin.", "fin.", "fin_"},
        {"fin. .", "fin. .", "fin___"},
        {"Été ", "Été ", "Été_"},
        {" tête", " tête", " tête"},
        {"CON.", "CON.", "CON_"},  // no longer the device once its dot is gone
        {"...", "___", "___"},
        {"", "_", "_"},
        {"../evil", ".._evil", ".._evil"},
        {"a/b\\c", "a_b\\c", "a_b_c"},
    };
    for (const NameCase& c : cases) {
        SCOPED_TRACE(c.stored);
        for (const auto& [rules, safe] :
             {std::pair{NameRules::Posix, c.posix}, std::pair{NameRules::Windows, c.windows}}) {
            EXPECT_EQ(platform::SafeFileName(c.stored, rules), safe);
            EXPECT_EQ(platform::IsSafeFileName(c.stored, rules), c.stored == safe);
            EXPECT_TRUE(platform::IsSafeFileName(safe, rules));
        }
    }
    // Only a whole name opens a device: an extension stays as it is.
    EXPECT_EQ(platform::SafeNamePart("con", NameRules::Windows), "con");
    EXPECT_EQ(platform::SafeNamePart("t:x.", NameRules::Windows), "t_x_");
    EXPECT_EQ(platform::SafeNamePart("..", NameRules::Windows), "__");
    // The build's own system decides by default.
    const bool windows = platform::kNameRules == NameRules::Windows;
    EXPECT_EQ(platform::SafeFileName("nul.txt"), windows ? "_nul.txt" : "nul.txt");
}

// What SafeFileName gives a "_" in front, and only that, is said to be reserved.
TEST(NameRules, OnlyWindowsDeviceNamesAreReserved) {
    const struct {
        std::string name;
        bool reserved;
    } cases[] = {
        {"NUL", true},       {"nul.txt", true},      {"Com1.tar.gz", true}, {"lpt\xC2\xB3", true},
        {"CONOUT$", true},   {"nul .txt", true},     {"aux.", false},       {"COM10", false},
        {"film.nul", false}, {"_nul.txt", false},    {"console", false},    {"", false},
        {"c\x01on", false},  {"con\x01.txt", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(platform::IsReservedName(c.name, NameRules::Windows), c.reserved);
        EXPECT_FALSE(platform::IsReservedName(c.name, NameRules::Posix));
        const std::string safe = platform::SafeFileName(c.name, NameRules::Windows);
        const std::string part = platform::SafeNamePart(c.name, NameRules::Windows);
        EXPECT_EQ(c.reserved,
                  safe.size() == part.size() + 1 && safe.compare(1, part.size(), part) == 0);
    }
}

TEST(NameRules, WindowsPathsTakeBothSeparatorsAndEndFoldersWithABackslash) {
    const NameRules win = NameRules::Windows;
    EXPECT_EQ(platform::FolderOf("C:\\Films\\film.avi", win), "C:\\Films\\");
    EXPECT_EQ(platform::FolderOf("C:/Films/film.avi", win), "C:/Films\\");
    EXPECT_EQ(platform::FolderOf("C:\\Films/sub\\film.avi", win), "C:\\Films/sub\\");
    EXPECT_EQ(platform::FolderOf("film.avi", win), ".\\");
    EXPECT_EQ(platform::FileNameOf("C:\\Films/sub\\film.avi", win), "film.avi");
    EXPECT_EQ(platform::FileNameOf("C:/Films/film.avi", win), "film.avi");
    EXPECT_EQ(platform::WithSeparator("C:\\Films", win), "C:\\Films\\");
    EXPECT_EQ(platform::WithSeparator("C:/Films/", win), "C:/Films\\");
    EXPECT_EQ(platform::WithSeparator("C:\\Films\\/\\", win), "C:\\Films\\");
    EXPECT_EQ(platform::WithSeparator("C:\\", win), "C:\\");

    // On POSIX a backslash is a character of the name.
    const NameRules posix = NameRules::Posix;
    EXPECT_EQ(platform::FileNameOf("/films/a\\b.avi", posix), "a\\b.avi");
    EXPECT_EQ(platform::FolderOf("/films/a\\b.avi", posix), "/films/");
    EXPECT_EQ(platform::FolderOf("film.avi", posix), "./");
    EXPECT_EQ(platform::WithSeparator("/films//", posix), "/films/");
    EXPECT_EQ(platform::WithSeparator("/", posix), "/");

    EXPECT_EQ(platform::kSeparator, platform::SeparatorOf(platform::kNameRules));
    EXPECT_EQ(platform::WithSeparator("x").back(), platform::kSeparator);
}

TEST(NameRules, WindowsComparesNamesWithoutCase) {
    const NameRules win = NameRules::Windows;
    const NameRules posix = NameRules::Posix;
    EXPECT_TRUE(platform::SameFileName("FILM.AVI.002", "film.avi.002", win));
    EXPECT_FALSE(platform::SameFileName("FILM.AVI.002", "film.avi.002", posix));
    EXPECT_TRUE(platform::SameFileName("ÉTÉ ÀÇÑÞ.001", "été àçñþ.001", win));
    EXPECT_TRUE(platform::SameFileName("ŒUVRE ŠŽŸ", "œuvre šžÿ", win));
    EXPECT_FALSE(platform::SameFileName("\xC3\x97", "\xC3\xB7", win));  // × is not ÷
    EXPECT_FALSE(platform::SameFileName("film.001", "film.0010", win));
    EXPECT_TRUE(platform::FileNameStartsWith("MOVIE.002", "movie.", win));
    EXPECT_FALSE(platform::FileNameStartsWith("MOVIE.002", "movie.", posix));
    EXPECT_TRUE(platform::FileNameStartsWith("movie.002", "movie.", posix));
    EXPECT_FALSE(platform::FileNameStartsWith("mov", "movie.", win));

    // The program's own endings, whatever the system.
    EXPECT_TRUE(platform::EndsWithNoCase("FILM.AVI.001.PCW", ".001.pcw"));
    EXPECT_TRUE(platform::EndsWithNoCase(".pcw", ".PCW"));
    EXPECT_FALSE(platform::EndsWithNoCase("pcw", ".pcw"));
    // A character cut in two by the ending is never folded into another.
    EXPECT_EQ(platform::FoldCase("a\xC3"), "a\xC3");
}

}  // namespace
