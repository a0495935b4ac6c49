#include "Public/ZoDadiUsageInfoManager.h"
#include "crashhandler/CrashState.h"
#include "platform/core/AppLifecycle.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/UsageRecorder.h"
#include "shell/CrashReportWiring.h"
#include "shell/LaunchHooks.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

// The default wiring: with no recorder set, crash usage events land in the
// home's usage store on disk, and the writer follows whether the application
// is in front. (Which events a new version removes: ReporterTest.)
TEST(CrashReportWiring, CrashEventsGoToTheHomesStoreAndTheWriterFollowsTheFront)
{
    TempHome home;
    UsageRecorder::setShared(nullptr);
    CrashReportWiring::install();
    UsageRecorder* usage = UsageRecorder::shared();
    ASSERT_NE(usage, nullptr);
    EXPECT_TRUE(usage->insertRecordForType(27230));   // a crash
    EXPECT_TRUE(usage->insertRecordForType(27331));   // a crash while active, no APT
    EXPECT_TRUE(usage->insertRecordForType(27124));   // not a crash event

    ZoDadiUsageInfoManager store(home.path("Documents/resource"));
    ASSERT_TRUE(store.isOpen());
    EXPECT_EQ(store.recordCountForType(27230), 1);
    EXPECT_EQ(store.recordCountForType(27331), 1);

    NotificationCenter& center = AppLifecycle::shared().center();
    center.post(AppLifecycle::kDidBecomeActiveNotification);
    EXPECT_EQ(CrashState::instance().appActive.load(), 1);
    center.post(AppLifecycle::kWillResignActiveNotification);
    EXPECT_EQ(CrashState::instance().appActive.load(), 0);
    center.post(AppLifecycle::kDidBecomeActiveNotification);
    center.post(AppLifecycle::kDidEnterBackgroundNotification);
    EXPECT_EQ(CrashState::instance().appActive.load(), 0);

    LaunchHooks::setCrashReport(nullptr);
    LaunchHooks::setRemovePreviousVersionCrashCounters(nullptr);
    UsageRecorder::setShared(nullptr);
}
