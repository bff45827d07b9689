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

// Header dates may lie before 1970 or near the ends of the calendar; they come
// out as the calendar says, never as the start of 1970.
TEST(Clock, DatesBefore1970AndAtTheEndsOfTheCalendar) {
    struct Case {
        double day;
        int year, month, mday, hour, minute, wday;
    };
    for (const Case& c : {Case{0.0, 1899, 12, 30, 0, 0, 6}, Case{2.25, 1900, 1, 1, 6, 0, 1},
                          Case{25568.5, 1969, 12, 31, 12, 0, 3}, Case{-693593.0, 1, 1, 1, 0, 0, 1},
                          Case{2958465.0, 9999, 12, 31, 0, 0, 5}, Case{60.0, 1900, 2, 28, 0, 0, 3},
                          Case{36585.0, 2000, 2, 29, 0, 0, 2}}) {
        const std::tm t = platform::FromDateTime(c.day);
        EXPECT_EQ(t.tm_year + 1900, c.year) << c.day;
        EXPECT_EQ(t.tm_mon + 1, c.month) << c.day;
        EXPECT_EQ(t.tm_mday, c.mday) << c.day;
        EXPECT_EQ(t.tm_hour, c.hour) << c.day;
        EXPECT_EQ(t.tm_min, c.minute) << c.day;
        EXPECT_EQ(t.tm_wday, c.wday) << c.day;
    }
    // Not a date at all: the epoch of the day counts.
    EXPECT_EQ(platform::FromDateTime(std::nan("")).tm_year + 1900, 1899);
    EXPECT_EQ(platform::FromDateTime(1e12).tm_year + 1900, 1899);
}
