#include "shell/CrashArming.h"
#include "platform/core/AppHome.h"
#include "support/ChildProcess.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(CrashArming, OnlyTheHomeFlagIsReadAndItBecomesAbsolute)
{
    const auto home = [](std::initializer_list<const char*> args) {
        std::vector<const char*> argv{"padolvo"};
        argv.insert(argv.end(), args);
        return CrashArming::homeFrom(int(argv.size()), argv.data());
    };
    EXPECT_EQ(home({"--library", "/l", "--home", "/tmp/h"}), "/tmp/h");
    EXPECT_EQ(home({"--home=/tmp/x", "--disk-root", "/d"}), "/tmp/x");
    EXPECT_EQ(home({"--home", "rel"}), QDir::current().absoluteFilePath("rel"));
    EXPECT_EQ(home({"--library", "--home"}), AppHome::defaultRoot());
    EXPECT_EQ(home({}), AppHome::defaultRoot());
}

// The real launch; afterwards each thread of the process reads its own
// alternate signal stack back.
TEST(CrashArming, EveryThreadOfTheRunningApplicationHasAnAlternateStack)
{
    QTemporaryDir dir;
    const ChildResult r = ChildProcess::run(
        "launch_threads_child",
        {"--home", dir.path() + "/home", "--library", dir.path() + "/library", "--disk-root", dir.path() + "/disk"},
        60000, {"QT_QPA_PLATFORM=offscreen"});
    ASSERT_FALSE(r.hung);
    ASSERT_EQ(r.exitCode, 0) << r.output.constData();
    const QList<QByteArray> lines = r.output.trimmed().split('\n');
    ASSERT_GE(lines.size(), 2) << r.output.constData();
    EXPECT_TRUE(r.output.contains("PhotoLibrarySav")) << r.output.constData();
    for (const QByteArray& line : lines)
        EXPECT_TRUE(line.endsWith(" yes")) << line.constData();
}
