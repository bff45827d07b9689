// The day counts of job and header dates.
#include <gtest/gtest.h>

#include <cmath>
#include <ctime>

#include "platform/Clock.h"

TEST(Clock, AnyTimeOfTheSeventhOfMarch2005IsDay38418) {
    for (int hour : {0, 12, 23}) {
        std::tm local{};
        local.tm_year = 105;
        local.tm_mon = 2;
        local.tm_mday = 7;
        local.tm_hour = hour;
        local.tm_min = hour == 23 ? 59 : 0;
        local.tm_sec = hour == 0 ? 1 : 0;
        local.tm_isdst = -1;
        const double day = platform::ToDateTime(std::mktime(&local));
        EXPECT_EQ(std::floor(day), 38418.0) << hour;
        const std::tm back = platform::FromDateTime(day);
        EXPECT_EQ(back.tm_mday, 7);
        EXPECT_EQ(back.tm_hour, local.tm_hour);
    }
    EXPECT_EQ(platform::Today(), std::floor(platform::Today()));
}
