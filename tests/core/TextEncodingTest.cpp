// Windows-1252 texts of the part files and the character counts of their fields.
#include <gtest/gtest.h>

#include <string>

#include "core/TextEncoding.h"

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

// A decoder that accepts overlong forms lets "/" or NUL through under another
// spelling: every name check that looks for them would be blind to it.
TEST(Utf8Decoding, RefusesEveryMalformedOrDisguisedSequence) {
    const struct {
        const char* what;
        std::string utf8, cp1252;
    } cases[] = {
        {"overlong slash", "x\xC0\xAFy", "x__y"},
        {"overlong NUL", "\xC0\x80", "__"},
        {"three-byte overlong slash", "\xE0\x80\xAF", "___"},
        {"four-byte overlong slash", "\xF0\x80\x80\xAF", "____"},
        {"overlong e acute", "\xC1\xA9", "__"},
        {"surrogate", "\xED\xA0\x80", "___"},
        {"above U+10FFFF", "\xF4\x90\x80\x80", "____"},
        {"five-byte lead", "\xF8\x88\x80\x80\x80", "_____"},
        {"truncated, then ASCII",
         "\xE2\x82"
         "A",
         "__A"},
        {"stray continuation",
         "a\x80"
         "b",
         "a_b"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Utf8ToCp1252(c.utf8), c.cp1252);
        EXPECT_EQ(Utf8Length(c.utf8), c.cp1252.size());
    }
    // The largest code points of each length are still characters.
    EXPECT_EQ(Utf8Length("\xDF\xBF\xEF\xBF\xBD\xF4\x8F\xBF\xBF"), 3u);
    EXPECT_EQ(Utf8ToCp1252("\xC3\xA9\xE2\x82\xAC"), "\xE9\x80");
}

TEST(Utf8Left, NeverCutsABrokenSequenceIntoMoreThanItsBytes) {
    // Each undecodable byte is one character: cutting keeps whole bytes only.
    EXPECT_EQ(Utf8Left("\xC0\xAF"
                       "abc",
                       3),
              "\xC0\xAF"
              "a");
    EXPECT_EQ(Utf8Left("\xE2\x82"
                       "A",
                       1),
              "\xE2");
}
