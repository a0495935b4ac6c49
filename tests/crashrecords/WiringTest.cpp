#include "crashhandler/CrashState.h"
#include "platform/core/AppLifecycle.h"
#include "platform/core/NotificationCenter.h"
#include "shell/CrashReportWiring.h"
#include "shell/LaunchHooks.h"
#include "support/FakeUsageRecorder.h"

#include <gtest/gtest.h>

TEST(CrashReportWiring, TheWriterFollowsWhetherTheApplicationIsInFront)
{
    FakeUsageRecorder usage;
    CrashReportWiring::install();
    EXPECT_EQ(UsageRecorder::shared(), &usage);
    NotificationCenter& center = AppLifecycle::shared().center();
    center.post(AppLifecycle::kDidBecomeActiveNotification);
    EXPECT_EQ(CrashState::instance().appActive.load(), 1);
    center.post(AppLifecycle::kDidEnterBackgroundNotification);
    EXPECT_EQ(CrashState::instance().appActive.load(), 0);
    LaunchHooks::setCrashReport(nullptr);
    LaunchHooks::setRemovePreviousVersionCrashCounters(nullptr);
}
