#include "Public/PavStringFormat.h"

#include <gtest/gtest.h>

#include <limits>

TEST(PavStringFormat, ByteCountsInBytesKilobytesMegabytesAndGigabytes)
{
    EXPECT_EQ(PavStringFormat::kmgStringForNumber(0), "0B");
    EXPECT_EQ(PavStringFormat::kmgStringForNumber(1023), "1023B");
    EXPECT_EQ(PavStringFormat::kmgStringForNumber(1024), "1.0KB");
    EXPECT_EQ(PavStringFormat::kmgStringForNumber(1536), "1.5KB");
    EXPECT_EQ(PavStringFormat::kmgStringForNumber(1024 * 1024), "1.0MB");
    EXPECT_EQ(PavStringFormat::kmgStringForNumber(quint64(2.5 * 1024 * 1024)), "2.5MB");
    EXPECT_EQ(PavStringFormat::kmgStringForNumber(quint64(5) << 30), "5.0GB");
}

TEST(PavStringFormat, RoundingNeverShowsAThousandAndTwentyFourOfAUnit)
{
    EXPECT_EQ(PavStringFormat::kmgStringForNumber(1024 * 1024 - 1), "1.0MB");
    EXPECT_EQ(PavStringFormat::kmgStringForNumber((quint64(1) << 30) - 1), "1.0GB");
    EXPECT_EQ(PavStringFormat::kmgStringForNumber(1023 * 1024), "1023.0KB");
}

TEST(PavStringFormat, GigabytesAreTheLargestUnit)
{
    EXPECT_EQ(PavStringFormat::kmgStringForNumber(quint64(3000) << 30), "3000.0GB");
    EXPECT_TRUE(PavStringFormat::kmgStringForNumber(std::numeric_limits<quint64>::max()).endsWith("GB"));
}
