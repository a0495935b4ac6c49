#include "crashhandler/CrashFacts.h"
#include "crashhandler/CrashReportData.h"
#include "crashhandler/CrashState.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

TEST(CrashFacts, RoundTripKeepsLineEndsAndDropsACutField)
{
    QTemporaryDir dir;
    int dirFd = open(QFile::encodeName(dir.path()).constData(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(dirFd, 0);
    CrashReportData data;
    data.time = 1796591392815;
    data.type.assign("std::runtime_error");
    data.error.assign("two\nlines");
    data.address.assign("0x0");
    data.errorStack.assign("0 a 0x1 0x1 + 0\n1 b 0x2 0x2 + 0\n");
    CrashState& state = CrashState::instance();
    ASSERT_TRUE(CrashFacts::write(dirFd, "crash_2026_01_01_00_00_00.facts", state, data, true));
    close(dirFd);

    QStringList pending = CrashFacts::pending(dir.path());
    ASSERT_EQ(pending.size(), 1);
    QMap<QString, QByteArray> f = CrashFacts::read(pending[0]);
    EXPECT_EQ(f.value("time"), "1796591392815");
    EXPECT_EQ(f.value("error"), "two\nlines");
    EXPECT_EQ(f.value("errorStack"), "0 a 0x1 0x1 + 0\n1 b 0x2 0x2 + 0\n");
    EXPECT_EQ(f.value("complete"), "1");

    QFile cut(dir.path() + "/crash_cut.facts");
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write("type 7:SIGSEGV\nerror 20:SEGV_MA");
    cut.close();
    QMap<QString, QByteArray> partial = CrashFacts::read(cut.fileName());
    EXPECT_EQ(partial.value("type"), "SIGSEGV");
    EXPECT_FALSE(partial.contains("error"));
    EXPECT_TRUE(CrashFacts::read(dir.path() + "/missing.facts").isEmpty());
}
