#include "platform/core/AppHome.h"
#include "platform/photolib/NativeName.h"
#include "shell/CrashArming.h"
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

// Paths whose bytes are not UTF-8: the library keeps its bytes, while the
// home and the disk root (used through Qt's own file functions, which would
// name another folder) are refused, and the crash arming takes no such home.
TEST(LaunchOptions, PathsThatAreNotUtf8)
{
    const auto parse = [](std::vector<const char*> argv, LaunchOptions* o, QString* message) {
        argv.insert(argv.begin(), "padolvo");
        return LaunchOptions::parse(LaunchOptions::arguments(int(argv.size()), argv.data()), o, message);
    };
    LaunchOptions o;
    QString message;
    ASSERT_EQ(parse({"--home", "/tmp/h", "--library", "/tmp/lib\xff"}, &o, &message), LaunchOptions::Parse::Run);
    EXPECT_EQ(NativeName::encode(o.library), QByteArray("/tmp/lib\xff"));
    EXPECT_EQ(o.home, "/tmp/h");

    for (const std::vector<const char*>& args : std::vector<std::vector<const char*>>{
             {"--home", "/tmp/h\xfe"}, {"--home=/tmp/h\xfe"}, {"--home", "/tmp/h", "--disk-root", "/tmp/d\xc3("}}) {
        o = LaunchOptions();
        message.clear();
        EXPECT_EQ(parse(args, &o, &message), LaunchOptions::Parse::Error) << args.back();
        EXPECT_TRUE(message.contains("not valid UTF-8")) << message.toStdString();
        EXPECT_TRUE(o.home.isEmpty());
    }
    const char* badHome[] = {"padolvo", "--library", "/l", "--home", "/tmp/h\xfe"};
    EXPECT_TRUE(CrashArming::homeFrom(5, badHome).isEmpty());
    // A refused disk root arms nothing either, so the home is not made.
    const char* badDiskRoot[] = {"padolvo", "--home", "/tmp/h", "--disk-root=/tmp/d\xff"};
    EXPECT_TRUE(CrashArming::homeFrom(4, badDiskRoot).isEmpty());
    const char* goodDiskRoot[] = {"padolvo", "--home", "/tmp/h", "--disk-root", "/tmp/d"};
    EXPECT_EQ(CrashArming::homeFrom(5, goodDiskRoot), "/tmp/h");

    // Valid UTF-8 beyond ASCII is an ordinary path.
    ASSERT_EQ(parse({"--home", "/tmp/相册"}, &o, &message), LaunchOptions::Parse::Run);
    EXPECT_EQ(o.home, "/tmp/相册");
}
