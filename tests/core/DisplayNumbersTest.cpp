// The size text of the progress window.
#include <gtest/gtest.h>

#include "core/DisplayNumbers.h"

TEST(FormatSize, WholeMegabytesAndTruncatedHundredths) {
    const struct {
        int64_t bytes;
        const char* text;
    } cases[] = {
        {0, "0,00 Mo"},         {1048575, "0,99 Mo"},     {1048576, "1,00 Mo"},
        {1048577, "1,00 Mo"},   {1572864, "1,50 Mo"},     {5000000, "4,76 Mo"},
        {16252928, "15,50 Mo"}, {734003200, "700,00 Mo"}, {4294967296, "4096,00 Mo"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatSize(c.bytes), c.text) << c.bytes;
}
