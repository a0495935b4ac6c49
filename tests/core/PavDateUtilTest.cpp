#include "platform/core/PavDateUtil.h"
#include "support/FakeClock.h"

#include <QTimeZone>

#include <gtest/gtest.h>

namespace {
const QTimeZone kShanghai("Asia/Shanghai");
const QTimeZone kBerlin("Europe/Berlin");

QDateTime at(const QTimeZone& zone, int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), zone);
}
}

TEST(PavDateUtil, DayStartIsLocalMidnight)
{
    ASSERT_TRUE(kShanghai.isValid());
    const QDateTime lateEvening = at(kShanghai, 2024, 3, 10, 23, 30);
    const QDateTime day = PavDateUtil::pavDateOfToday(lateEvening, kShanghai);
    EXPECT_EQ(day, at(kShanghai, 2024, 3, 10));
    EXPECT_EQ(day.timeSpec(), Qt::UTC);
    EXPECT_EQ(PavDateUtil::pavDateOfToday(at(kShanghai, 2024, 3, 10), kShanghai), day);
    // 16:30 UTC is already the next day in Shanghai.
    const QDateTime utc(QDate(2024, 3, 10), QTime(16, 30), Qt::UTC);
    EXPECT_EQ(PavDateUtil::pavDateOfToday(utc, kShanghai), at(kShanghai, 2024, 3, 11));
}

TEST(PavDateUtil, AddingDaysAddsWholeSecondsNotCalendarDays)
{
    ASSERT_TRUE(kBerlin.isValid());
    // Clocks went forward on 31 March 2024: 86400 s later is 01:00, not midnight.
    const QDateTime before = at(kBerlin, 2024, 3, 31);
    EXPECT_EQ(PavDateUtil::pavDateByAddDay(before, 1), at(kBerlin, 2024, 4, 1, 1));
    EXPECT_EQ(PavDateUtil::pavDateByAddDay(at(kShanghai, 2024, 3, 1, 8, 0, 0, 700), -1),
              at(kShanghai, 2024, 2, 29, 8));   // leap day; milliseconds dropped
    // Yesterday's header compares day starts: yesterday's start is today's start minus one day.
    const QDateTime today = PavDateUtil::pavDateOfToday(at(kShanghai, 2024, 3, 10, 9), kShanghai);
    EXPECT_EQ(PavDateUtil::pavDateOfToday(at(kShanghai, 2024, 3, 9, 22), kShanghai),
              PavDateUtil::pavDateByAddDay(today, -1));
}

TEST(PavDateUtil, TodayComesFromTheClock)
{
    FakeClock clock(at(kShanghai, 2040, 6, 1, 12, 15).toUTC());   // past 2038 on purpose
    EXPECT_EQ(PavDateUtil::pavToday(clock, kShanghai), at(kShanghai, 2040, 6, 1));
    clock.advanceSeconds(12 * 3600);
    EXPECT_EQ(PavDateUtil::pavToday(clock, kShanghai), at(kShanghai, 2040, 6, 2));
}

TEST(PavDateUtil, FormatsUnicodeDatePatterns)
{
    const QDateTime t = at(kShanghai, 2024, 3, 10, 23, 5, 7, 45);
    auto fmt = [&](const QString& pattern) { return PavDateUtil::pavReadableDateStringWithFormat(t, pattern, kShanghai); };
    EXPECT_EQ(fmt("yyyy-MM-dd HH:mm:ss"), "2024-03-10 23:05:07");
    EXPECT_EQ(fmt("yyyyMMddHHmmssSSS"), "20240310230507045");
    EXPECT_EQ(fmt("yyyy年M月d日"), "2024年3月10日");
    EXPECT_EQ(fmt("yy/M/d h:mm"), "24/3/10 11:05");
    EXPECT_EQ(fmt("'at' HH 'o''clock' ''"), "at 23 o'clock '");
    EXPECT_EQ(fmt("FFF D"), "002 70");   // second Sunday of March; day 70 of the year
    EXPECT_EQ(fmt("S SS"), "0 04");
    // The zone decides the wall-clock figures.
    EXPECT_EQ(PavDateUtil::pavReadableDateStringWithFormat(t, "dd HH", QTimeZone::utc()), "10 15");
}
