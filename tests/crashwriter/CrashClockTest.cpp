#include "crashhandler/CrashClock.h"

#include <ctime>
#include <string>

#include <gtest/gtest.h>

TEST(CrashClock, ZoneValueFollowsMinutesWestRule)
{
    EXPECT_EQ(CrashClock::zoneValue(-480 * 60), -800);
    EXPECT_EQ(CrashClock::zoneValue(480 * 60), 800);
    EXPECT_EQ(CrashClock::zoneValue(330 * 60), 530);
    EXPECT_EQ(CrashClock::zoneValue(-30 * 60), -30);
    EXPECT_EQ(CrashClock::zoneValue(0), 0);
    char text[64];
    timespec t{0, 5000000};
    CrashClock::dateTimeText(text, sizeof text, t, 330 * 60);
    EXPECT_STREQ(text, "1970-01-01 05:30:00.005 +0530");
    CrashClock::dateTimeText(text, sizeof text, t, -30 * 60);
    EXPECT_STREQ(text, "1969-12-31 23:30:00.005 -0030");
}

TEST(CrashClock, CivilDatesAgreeWithGmtime)
{
    for (int64_t t : {int64_t(0), int64_t(951782400), int64_t(951868799), int64_t(1709251199), int64_t(4102444800),
                      int64_t(-86401), int64_t(1796591392)}) {
        time_t tt = time_t(t);
        tm g{};
        gmtime_r(&tt, &g);
        CrashClock::Civil c = CrashClock::civil(t);
        EXPECT_EQ(c.year, g.tm_year + 1900) << t;
        EXPECT_EQ(c.month, g.tm_mon + 1) << t;
        EXPECT_EQ(c.day, g.tm_mday) << t;
        EXPECT_EQ(c.hour * 3600 + c.minute * 60 + c.second, g.tm_hour * 3600 + g.tm_min * 60 + g.tm_sec) << t;
    }
    char stamp[64];
    CrashClock::crashTimeText(stamp, sizeof stamp, timespec{951782400 + 3723, 0}, 0);
    EXPECT_STREQ(stamp, "2000_02_29_01_02_03");
}

TEST(CrashClock, TheOffsetIsRefreshedJustPastEachFullMinute)
{
    EXPECT_EQ(CrashClock::msUntilNextMinute(1700000040000), 60020);   // on the minute
    EXPECT_EQ(CrashClock::msUntilNextMinute(1700000099999), 21);
    EXPECT_EQ(CrashClock::msUntilNextMinute(1700000070000), 30020);
}
