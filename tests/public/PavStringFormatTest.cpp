#include "Public/PavStringFormat.h"

#include <gtest/gtest.h>

#include <limits>

// Bytes, then kilobytes, megabytes and gigabytes (the largest unit); rounding
// never shows 1024 of a unit.
TEST(PavStringFormat, ByteCountsInTheirUnit)
{
    const std::pair<quint64, const char*> cases[] = {
        {0, "0B"},
        {1023, "1023B"},
        {1024, "1.0KB"},
        {1536, "1.5KB"},
        {1024 * 1024, "1.0MB"},
        {quint64(2.5 * 1024 * 1024), "2.5MB"},
        {quint64(5) << 30, "5.0GB"},
        {1024 * 1024 - 1, "1.0MB"},
        {(quint64(1) << 30) - 1, "1.0GB"},
        {1023 * 1024, "1023.0KB"},
        {quint64(3000) << 30, "3000.0GB"},
    };
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(PavStringFormat::kmgStringForNumber(bytes), text) << bytes;
    EXPECT_TRUE(PavStringFormat::kmgStringForNumber(std::numeric_limits<quint64>::max()).endsWith("GB"));
}
