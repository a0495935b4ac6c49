#include "crashhandler/CrashReportHeader.h"

#include <gtest/gtest.h>

namespace {

QByteArray header(const QByteArray& process, const QByteArray& date)
{
    return "Hardware Model: x86_64\nHardWare Localized Model: PC\nProcess: " + process +
           "\nPath: /opt/pad olvo/bin\nIdentifier: padolvo\nVersion:  2.5\nCode Type: X86-64 (Native)\n"
           "Parent Process: bash [10]\n\nDate/Time: " + date + "\nOS Version: Linux 6\nDevice Name: box\n"
           "Report Version:  104\n\nSDK start time: 1\n";
}

}

// The writer's header gives the process and the moment, in any zone; an
// uncaught exception's lines may come first. Anything else is not a report.
TEST(CrashReportHeader, TellsTheWritersReportsProcessAndMoment)
{
    const auto plain = CrashReportHeader::parse(header("pad olvo [1234]", "2026-01-02 03:04:05.678 +0000"));
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->pid, 1234);
    EXPECT_EQ(plain->time, 1767323045678LL);
    const auto east = CrashReportHeader::parse(header("padolvo [7]", "2026-01-02 08:34:05.678 +0530"));
    ASSERT_TRUE(east);
    EXPECT_EQ(east->time, 1767323045678LL);
    const auto west = CrashReportHeader::parse(
        "Objective-C exception:\nobjc_exception_name: std::bad_alloc\nobjc_exception_reason: x\n\n" +
        header("padolvo [7]", "2026-01-01 19:04:05.678 -0800"));
    ASSERT_TRUE(west);
    EXPECT_EQ(west->time, 1767323045678LL);

    for (const QByteArray& other :
         {QByteArray("the user's secret"), QByteArray("Hardware Model: x\nProcess: p [1]\n"),
          header("padolvo [x]", "2026-01-02 03:04:05.678 +0000"),
          header("padolvo [7]", "2026-13-02 03:04:05.678 +0000"),
          header("padolvo [7]", "2026-01-02 03:04:05 +0000"),
          "SDK: 1\n" + header("padolvo [7]", "2026-01-02 03:04:05.678 +0000")})
        EXPECT_FALSE(CrashReportHeader::parse(other)) << other.constData();
}
