// Windows-1252 texts of the part files and the character counts of their fields.
#include <gtest/gtest.h>

#include <string>

#include "core/Texts.h"

TEST(Cp1252, EveryByteSurvivesARoundTrip) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    const std::string utf8 = Cp1252ToUtf8(all);
    EXPECT_EQ(Utf8Length(utf8), all.size());
    EXPECT_EQ(Utf8ToCp1252(utf8), all);
}

TEST(Cp1252, DecodesTheHighControlsAsWindowsDoes) {
    EXPECT_EQ(Cp1252ToUtf8("\x80"), "€");
    EXPECT_EQ(Cp1252ToUtf8("\x9C\x9F"), "œŸ");
    EXPECT_EQ(Cp1252ToUtf8("\xC9t\xE9 \xBD"), "Été ½");
    EXPECT_EQ(Utf8ToCp1252("Été € ½"), "\xC9t\xE9 \x80 \xBD");
}

TEST(Cp1252, CharactersWithoutAWindowsFormBecomeUnderscores) {
    EXPECT_EQ(Utf8ToCp1252("Ωmega"), "_mega");
    EXPECT_EQ(Utf8ToCp1252("日本.avi"), "__.avi");
    EXPECT_EQ(Utf8ToCp1252("\xF0\x9F\x8E\xAC!"), "_!");  // outside the BMP
    // U+0080 is a C1 control: the byte 0x80 stands for the euro sign, not for it.
    EXPECT_EQ(Utf8ToCp1252("\xC2\x80"), "_");
    // Malformed input yields one underscore per broken character, never a crash.
    EXPECT_EQ(Utf8ToCp1252("a\xC3"), "a_");
    EXPECT_EQ(Utf8ToCp1252("\xFF"), "_");
}

TEST(Utf8Left, CountsCharactersNotBytes) {
    EXPECT_EQ(Utf8Left("éèà€x", 3), "éèà");
    EXPECT_EQ(Utf8Left("abc", 0), "");
    EXPECT_EQ(Utf8Left("abc", 10), "abc");
    EXPECT_EQ(Utf8Left("a日本", 2), "a日");
    EXPECT_EQ(Utf8Length("a日本€"), 4u);

    std::string sixty;
    for (int i = 0; i < 60; ++i) sixty += "é";
    const std::string fifty = Utf8Left(sixty, 50);
    EXPECT_EQ(Utf8Length(fifty), 50u);
    EXPECT_EQ(fifty.size(), 100u);
}
