// The split entries turned into bytes per part.
#include <gtest/gtest.h>

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

}  // namespace
