#include "platform/core/AppHome.h"
#include "shell/LaunchOptions.h"

#include <QDir>

#include <gtest/gtest.h>

TEST(LaunchOptions, FlagsOverrideTheDefaults)
{
    LaunchOptions o;
    QString message;
    ASSERT_EQ(LaunchOptions::parse({"padolvo", "--home", "/tmp/h", "--library=/tmp/pics", "--disk-root", "/tmp/disk",
                                    "--analytics-url", "http://127.0.0.1:9/up"},
                                   &o, &message),
              LaunchOptions::Parse::Run);
    EXPECT_EQ(o.home, "/tmp/h");
    EXPECT_EQ(o.library, "/tmp/pics");
    EXPECT_EQ(o.diskRoot, "/tmp/disk");
    EXPECT_EQ(o.analyticsUrl, "http://127.0.0.1:9/up");
}

TEST(LaunchOptions, TheCloudDiskDefaultsToAFolderOfTheHome)
{
    LaunchOptions o;
    QString message;
    ASSERT_EQ(LaunchOptions::parse({"padolvo", "--home", "rel/home"}, &o, &message), LaunchOptions::Parse::Run);
    EXPECT_EQ(o.home, QDir::current().absoluteFilePath("rel/home"));
    EXPECT_EQ(o.diskRoot, o.home + "/CloudDisk");
}

TEST(LaunchOptions, BadCommandLinesAndHelpDoNotRun)
{
    LaunchOptions o;
    QString message;
    EXPECT_EQ(LaunchOptions::parse({"padolvo", "--nope"}, &o, &message), LaunchOptions::Parse::Error);
    EXPECT_TRUE(message.contains("nope"));
    EXPECT_EQ(LaunchOptions::parse({"padolvo", "--home"}, &o, &message), LaunchOptions::Parse::Error);
    EXPECT_EQ(LaunchOptions::parse({"padolvo", "stray"}, &o, &message), LaunchOptions::Parse::Error);
    EXPECT_EQ(LaunchOptions::parse({"padolvo", "--help"}, &o, &message), LaunchOptions::Parse::Print);
    EXPECT_TRUE(message.contains("--analytics-url"));
}
