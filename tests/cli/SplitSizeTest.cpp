// The split entries turned into bytes per part.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/SizeWithUnit.h"
#include "core/SplitSize.h"

namespace {

constexpr int64_t kMo = 1048576;
constexpr int kTaille = 0;
constexpr int kNombre = 1;

TEST(PartSizeFor, SizeOrCount) {
    EXPECT_EQ(PartSizeFor(kTaille, 15, 100 * kMo), 15728640);
    EXPECT_EQ(PartSizeFor(kTaille, 999, 100 * kMo), 1047527424);
    // Just large enough that the set has exactly the parts asked for.
    EXPECT_EQ(PartSizeFor(kNombre, 3, 10485760), 3495254);
    const int32_t part = PartSizeFor(kNombre, 999, kMo + 1);
    EXPECT_EQ((kMo + 1 + part - 1) / part, 999);
    // A plain set's parts have no 31-bit limit, and a count divides exactly.
    EXPECT_EQ(PlainPartSizeFor(kTaille, 4096, 1), 4096 * kMo);
    EXPECT_EQ(PlainPartSizeFor(kNombre, 3, 6 * kMo), 2 * kMo);
    EXPECT_EQ(PlainPartSizeFor(kNombre, 2, 5 * 1024 * kMo + 1), 2560 * kMo + 1);
    EXPECT_EQ(PlainPartSizeFor(kNombre, 0, 10 * kMo), 0);
}

TEST(PartSizeFor, WhatGivesNoUsableSizeIsNotPositive) {
    EXPECT_EQ(PartSizeFor(kNombre, 1, 2147483646), 2147483647);
    EXPECT_EQ(PartSizeFor(kNombre, 1, 2147483647), kPartTooLarge);
    // Cut to 32 bits, 5 GiB + 1 would wrap to a positive 1 GiB + 1.
    EXPECT_EQ(PartSizeFor(kNombre, 1, 5 * 1024 * kMo), kPartTooLarge);
    EXPECT_EQ(PartSizeFor(kNombre, 2, 5 * 1024 * kMo), kPartTooLarge);
    EXPECT_LE(PartSizeFor(kTaille, 2048, 0), 0);
    EXPECT_LE(PartSizeFor(kTaille, 0, 10 * kMo), 0);
    EXPECT_LE(PartSizeFor(kNombre, 0, 10 * kMo), 0);
}

TEST(ParseSizeWithUnit, BinaryLettersDecimalBytesAndWhatIsNoSize) {
    const std::vector<std::pair<std::string, std::optional<int64_t>>> cases = {
        {"700", 700},
        {"700M", 700 * kMo},
        {"700MiB", 700 * kMo},
        {"100k", 102400},
        {"100K", 102400},
        {"4G", 4 * 1024 * kMo},
        {"1.5G", 1610612736},
        {"1,5G", 1610612736},
        {"25MB", 25000000},
        {"2GB", 2000000000},
        {"0.3M", 314572},  // 314572.8, rounded down
        {"2T", 2 * 1024 * 1024 * kMo},
        {"8388607T", 9223370937343148032},
        {"8388608T", std::nullopt},  // past int64_t
        {"999999999999999999", 999999999999999999},
        {"9999999999999999999", std::nullopt},
        {"1.5", std::nullopt},
        {"", std::nullopt},
        {"M", std::nullopt},
        {".5M", std::nullopt},
        {"5.M", std::nullopt},
        {"-5M", std::nullopt},
        {"+5M", std::nullopt},
        {" 5M", std::nullopt},
        {"5 M", std::nullopt},
        {"5Mo", std::nullopt},
        {"5b", std::nullopt},
        {"5mb", std::nullopt},
        {"5MBB", std::nullopt},
        {"0x10", std::nullopt},
    };
    for (const auto& [text, bytes] : cases) EXPECT_EQ(ParseSizeWithUnit(text), bytes) << text;
}

}  // namespace
