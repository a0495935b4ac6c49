#include "PipeCapture.h"
#include "crashhandler/SafeFormat.h"
#include "crashhandler/SafeOutput.h"

#include <QString>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

namespace {

template <typename... Args>
void expectSameAsPrintf(const char* fmt, Args... args)
{
    char ours[512];
    char theirs[512];
    std::size_t n = SafeFormat::format(ours, sizeof ours, fmt, args...);
    int m = std::snprintf(theirs, sizeof theirs, fmt, args...);
    EXPECT_STREQ(ours, theirs) << "format " << fmt;
    EXPECT_EQ(n, std::size_t(m)) << "format " << fmt;
}

}

TEST(SafeFormat, MatchesPrintfForEveryFormatTheReportUses)
{
    const long long wide[] = {0, 1, -1, INT_MIN, INT_MAX, LLONG_MAX, LLONG_MIN, 1700000000000LL};
    for (long long v : wide) {
        expectSameAsPrintf("%lli|%lld", v, v);
    }
    const int ints[] = {0, -1, 7, 42, 255, INT_MIN, INT_MAX, 800, -800, 530, -30};
    for (int v : ints) {
        expectSameAsPrintf("%d|%-2d|%04d|%02d|%03d|%+05d|[%u]", v, v, v, v, v, v, unsigned(v));
    }
    const unsigned long long addresses[] = {0, 1, 0x10, 0xffffffffULL, 0x7ffd4415d4d0ULL, 0x565337b7b4c7ULL,
                                            0xffffffffffffffffULL};
    for (unsigned long long a : addresses) {
        expectSameAsPrintf("%#010llx|%#10llx|0x%016llx|%llx|%lu", a, a, a, a, (unsigned long)a);
        expectSameAsPrintf("0x%lx|%zu", (unsigned long)a, std::size_t(a));
        expectSameAsPrintf("%p", reinterpret_cast<void*>(a));
    }
    std::string longName(45, 'n');
    for (const char* s : {"", "libc.so.6", "<unknown-name>", longName.c_str()}) {
        expectSameAsPrintf("%-30s|%6s|%s|%10s", s, s, s, s);
    }
    expectSameAsPrintf("%d%% %c|%-3c|", 5, 'x', 'y');
    const char* volatile none = nullptr;
    char buf[16];
    SafeFormat::format(buf, sizeof buf, "%s", none);
    EXPECT_STREQ(buf, "(null)");
}

TEST(SafeFormat, CutsAtTheBufferEndButCountsEverything)
{
    char buf[8];
    EXPECT_EQ(SafeFormat::format(buf, sizeof buf, "%s", "0123456789"), 10u);
    EXPECT_STREQ(buf, "0123456");
    char dec[21];
    EXPECT_EQ(SafeFormat::decimal(dec, LLONG_MIN), 20u);
    EXPECT_STREQ(dec, "-9223372036854775808");
}

TEST(SafeOutput, WritesLongTextsWholeThroughItsSmallBuffer)
{
    std::string big(10000, 'z');
    QByteArray captured = captureThroughPipe([&big](int fd) {
        SafeOutput out(fd);
        out.printf("%s:%d\n", "head", 1);
        out.text(big.c_str());
        for (int i = 0; i < 300; ++i)
            out.printf("%-30s|", "x");
    });
    std::string got = captured.toStdString();
    EXPECT_EQ(got.size(), 7 + big.size() + 300 * 31);
    EXPECT_EQ(got.substr(0, 7), "head:1\n");
    EXPECT_EQ(got.substr(7, big.size()), big);
}
