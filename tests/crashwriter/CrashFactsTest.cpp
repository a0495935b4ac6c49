#include "crashhandler/CrashFacts.h"
#include "crashhandler/CrashReportData.h"
#include "crashhandler/CrashState.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
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

namespace {

CrashFacts::Contents loadBytes(const QTemporaryDir& dir, const QByteArray& bytes)
{
    QFile file(dir.path() + "/crash_2026_01_01_00_00_00.facts");
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    file.close();
    return CrashFacts::load(file.fileName());
}

}

// A write cut at any byte keeps the whole fields before the cut; only a file
// without one whole field is damaged.
TEST(CrashFacts, EveryCutKeepsTheWholeFieldsBeforeIt)
{
    QTemporaryDir dir;
    const QByteArray whole = "time 13:1796591392815\ntype 7:SIGSEGV\nerror 3:a\nb\n";
    const qsizetype ends[] = {22, 37, 49};
    for (qsizetype cut = 1; cut <= whole.size(); ++cut) {
        const CrashFacts::Contents c = loadBytes(dir, whole.left(cut));
        const int expected = int(std::count_if(std::begin(ends), std::end(ends), [cut](qsizetype e) { return e <= cut; }));
        EXPECT_EQ(c.fields.size(), expected) << cut;
        EXPECT_EQ(c.damaged, expected == 0) << cut;
    }
    const CrashFacts::Contents c = loadBytes(dir, whole);
    EXPECT_EQ(c.fields.value("error"), "a\nb");
    EXPECT_TRUE(loadBytes(dir, "").fields.isEmpty());
    EXPECT_FALSE(loadBytes(dir, "").damaged);
}

TEST(CrashFacts, LengthsPastTheFileOrOutOfFormEndTheFields)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        QStringList fields;
        bool damaged;
    };
    const Case cases[] = {
        {"largest length", "time 9223372036854775807:1\n", {}, true},
        {"largest length after a field", "type 7:SIGSEGV\ntime 9223372036854775807:1\n", {"type"}, false},
        {"length of 64 bits", "type 7:SIGSEGV\ntime 18446744073709551615:1\n", {"type"}, false},
        {"length of forty digits", "time 9999999999999999999999999999999999999999:1\n", {}, true},
        {"length one past the file", "type 7:SIGSEGV\ntime 2:1\n", {"type"}, false},
        {"negative length", "type 7:SIGSEGV\ntime -1:1\n", {"type"}, true},
        {"signed length", "type +7:SIGSEGV\n", {}, true},
        {"no length", "type :\n", {}, true},
        {"no name", " 7:SIGSEGV\n", {}, true},
        {"value longer than its length", "type 6:SIGSEGV\n", {}, true},
        {"no separator", "type7:SIGSEGV\n", {}, true},
        {"binary", QByteArray("\0\0\0\0", 4), {}, true},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        const CrashFacts::Contents got = loadBytes(dir, c.bytes);
        EXPECT_EQ(QStringList(got.fields.keys()), c.fields) << c.name;
        EXPECT_EQ(got.damaged, c.damaged) << c.name;
    }
}
