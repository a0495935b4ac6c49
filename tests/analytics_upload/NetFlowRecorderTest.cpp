#include "analytics/traffic/AnaNetFlowRecorder.h"
#include "platform/core/UserDefaults.h"
#include "LocalTime.h"
#include "support/FakeClock.h"

#include <gtest/gtest.h>

namespace {

void exchange(AnaCommunicationNetFlowDelegate& r, bool wifi, qint64 up, qint64 down)
{
    r.onNetFlowHappened("http://127.0.0.1/analytics/upload", "FINISH", 0, wifi, up, down, 0);
}

}

TEST(NetFlowRecorder, CountsPerKindAndRollsOverAtMidnightForBothKinds)
{
    UserDefaults defaults;
    FakeClock clock(localTime(2026, 3, 31, 23, 59, 0));
    AnaNetFlowRecorder recorder(&defaults, clock);
    recorder.enable(true);
    recorder.loadData();
    exchange(recorder, false, 100, 10);
    exchange(recorder, false, 50, 5);
    exchange(recorder, true, 7, 3);
    EXPECT_EQ(recorder.toDayFlow(), 150);
    EXPECT_EQ(recorder.toDayDownFlow(), 15);
    EXPECT_EQ(recorder.todayCount(), 2);
    EXPECT_EQ(recorder.totalFlow(), 150);
    EXPECT_EQ(recorder.totalDownFlow(), 15);
    EXPECT_EQ(recorder.totalCount(), 2);
    EXPECT_EQ(recorder.toDayWiFiFlow(), 7);
    EXPECT_EQ(recorder.toDayDownWiFiFlow(), 3);
    EXPECT_EQ(recorder.todayWifiCount(), 1);
    EXPECT_EQ(recorder.totalWiFiFlow(), 7);
    EXPECT_EQ(recorder.totalDownWiFiFlow(), 3);
    EXPECT_EQ(recorder.totalWifiCount(), 1);
    EXPECT_EQ(defaults.stringForKey("AnaNetFlowDayKey"), QString("2026-03-31"));

    // Midnight that is also a month end: the first exchange counts as one, and
    // the other kind's old figures do not survive under the new day.
    clock.setNow(localTime(2026, 4, 1, 0, 0, 30));
    exchange(recorder, false, 20, 2);
    EXPECT_EQ(recorder.mobile().dayUp, 20);
    EXPECT_EQ(recorder.mobile().dayCount, 1);
    EXPECT_EQ(recorder.mobile().monthCount, 1);
    EXPECT_EQ(recorder.wifi().dayUp, 0);
    EXPECT_EQ(recorder.wifi().monthDown, 0);
    EXPECT_EQ(defaults.stringForKey("AnaNetFlowMonthKey"), QString("2026-04"));
    EXPECT_EQ(defaults.doubleForKey("AnaNetFlowDayWiFiVal"), 0.0);
    EXPECT_TRUE(defaults.contains("AnaNetFlowDayWiFiVal"));

    // A reload the same day reads back exactly what was counted.
    AnaNetFlowRecorder reloaded(&defaults, clock);
    reloaded.loadData();
    EXPECT_EQ(reloaded.mobile().dayUp, 20);
    EXPECT_EQ(reloaded.mobile().dayCount, 1);
    EXPECT_EQ(reloaded.wifi().dayUp, 0);
    EXPECT_EQ(reloaded.wifi().monthCount, 0);
}

TEST(NetFlowRecorder, LoadPurgesStalePeriodsAndCountersAreSixtyFourBit)
{
    UserDefaults defaults;
    FakeClock clock(localTime(2026, 5, 20, 12, 0));
    {
        AnaNetFlowRecorder first(&defaults, clock);
        first.enable(true);
        exchange(first, false, 3'000'000'000LL, 1);
        exchange(first, false, 3'000'000'000LL, 1);
        EXPECT_EQ(first.mobile().monthUp, 6'000'000'000LL);
    }
    clock.setNow(localTime(2026, 5, 21, 9, 0));
    AnaNetFlowRecorder nextDay(&defaults, clock);
    nextDay.loadData();
    EXPECT_FALSE(defaults.contains("AnaNetFlowDayKey"));
    EXPECT_FALSE(defaults.contains("AnaNetFlowDayVal"));
    EXPECT_EQ(nextDay.mobile().dayUp, 0);
    EXPECT_EQ(nextDay.mobile().monthUp, 6'000'000'000LL);
    EXPECT_TRUE(nextDay.dayFlowRetained() == false);

    clock.setNow(localTime(2026, 6, 1, 9, 0));
    AnaNetFlowRecorder nextMonth(&defaults, clock);
    nextMonth.loadData();
    for (const char* key : {"AnaNetFlowMonthKey", "AnaNetFlowMonthVal", "AnaNetFlowMonthWiFiVal",
                            "AnaDownNetFlowMonthVal", "AnaDownNetFlowMonthWiFiVal",
                            "AnaNetFlowMonthCountVal", "AnaNetFlowMonthCountWiFiVal"})
        EXPECT_FALSE(defaults.contains(key)) << key;
}

TEST(NetFlowRecorder, ReportsOnlyToTheEnabledRecorderAndFlagsTheDayLimitOnce)
{
    struct Listener : AnaNetFlowListener {
        int overloads = 0;
        qint64 lastUp = 0;
        void onDayNetFlowOverload(const QString&, qint64, qint64 up, qint64) override
        {
            ++overloads;
            lastUp = up;
        }
    } listener;
    UserDefaults defaults;
    FakeClock clock(localTime(2026, 7, 1, 10, 0));
    AnaNetFlowRecorder recorder(&defaults, clock);
    AnaNetFlowRecorder::report("u", "FINISH", 0, false, 5, 5, 0);
    EXPECT_EQ(recorder.mobile().dayCount, 0);

    recorder.enable(true);
    recorder.setFlowListener(&listener);
    recorder.setMaxDayFlow(100);
    AnaNetFlowRecorder::report("u", "FAIL", 0, false, 60, 0, 0);
    AnaNetFlowRecorder::report("u", "TIMEOUT", 0, false, 60, 0, 0);
    AnaNetFlowRecorder::report("u", "FINISH", 0, false, 60, 0, 0);
    EXPECT_EQ(recorder.mobile().dayCount, 3);
    EXPECT_EQ(listener.overloads, 1);
    EXPECT_EQ(listener.lastUp, 120);
    EXPECT_TRUE(recorder.dayFlowRetained());
    recorder.resetDayFlowSwitch();
    EXPECT_FALSE(recorder.dayFlowRetained());

    recorder.enable(false);
    AnaNetFlowRecorder::report("u", "FINISH", 0, false, 1, 1, 0);
    EXPECT_EQ(recorder.mobile().dayCount, 3);
}
