#include "analytics/AnaZip.h"
#include "analytics/AnaZipUtil.h"
#include "analytics/ZipAnaZipUtil.h"
#include "support/GzipBomb.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {

AnaZip& gzip()
{
    AnaZip* z = AnaZipUtil::getAnaZipUtil(2);
    EXPECT_NE(z, nullptr);
    return *z;
}

QByteArray sample(int size)
{
    QByteArray data;
    QRandomGenerator rng(7);
    for (int i = 0; i < size; ++i)
        data.append(char(i % 3 ? 'a' + rng.bounded(4) : rng.bounded(256)));
    return data;
}

}

TEST(AnaZipUtil, GzipRoundTripsAndKeepsNullAndEmpty)
{
    for (int size : {1, 2, 100, 100000}) {
        QByteArray data = sample(size);
        QByteArray packed = gzip().zip(data);
        ASSERT_FALSE(packed.isNull()) << size;
        EXPECT_EQ(uint8_t(packed[0]), 0x1f);
        EXPECT_EQ(uint8_t(packed[1]), 0x8b);
        EXPECT_EQ(gzip().unzip(packed), data) << size;
    }
    // Highly compressible data inflates far beyond 1.5 × its packed size.
    QByteArray zeros(1 << 20, '\0');
    EXPECT_EQ(gzip().unzip(gzip().zip(zeros)), zeros);

    EXPECT_TRUE(gzip().zip(QByteArray()).isNull());
    EXPECT_TRUE(gzip().unzip(QByteArray()).isNull());
    QByteArray empty("");
    EXPECT_TRUE(gzip().zip(empty).isEmpty());
    EXPECT_FALSE(gzip().zip(empty).isNull());
    EXPECT_TRUE(gzip().unzip(empty).isEmpty());
}

TEST(AnaZipUtil, UnzipRefusesJunkAndCutStreamsButTakesZlib)
{
    EXPECT_TRUE(gzip().unzip("this is not a compressed stream").isNull());
    QByteArray packed = gzip().zip(sample(5000));
    EXPECT_TRUE(gzip().unzip(packed.left(packed.size() - 9)).isNull());
    EXPECT_TRUE(gzip().unzip(packed.left(packed.size() / 2)).isNull());
    QByteArray data = sample(3000);
    EXPECT_EQ(gzip().unzip(qCompress(data).mid(4)), data);   // a zlib stream
}

TEST(AnaZipUtil, OneShotGzipAndFactories)
{
    QByteArray data = sample(4000);
    QByteArray packed = AnaZipUtil::gzipCompress(data);
    EXPECT_EQ(packed.left(10).toHex(), "1f8b08000000000002ff");
    EXPECT_EQ(gzip().unzip(packed), data);
    EXPECT_EQ(gzip().unzip(AnaZipUtil::gzipCompress("x")), "x");

    EXPECT_EQ(AnaZipUtil::getAnaZipUtil(0), nullptr);
    EXPECT_EQ(AnaZipUtil::getAnaZipUtil(1), nullptr);
    ZipAnaZipUtil plain;
    EXPECT_EQ(plain.zip("raw"), "raw");
    EXPECT_EQ(plain.unzip("raw"), "raw");
}

TEST(AnaZipUtil, UnzipRefusesMoreThanSixteenMebibytes)
{
    constexpr qint64 cap = 16 * 1024 * 1024;
    EXPECT_EQ(gzip().unzip(gzipOfZeros(cap)).size(), cap);
    EXPECT_TRUE(gzip().unzip(gzipOfZeros(cap + 1)).isNull());
    const QByteArray bomb = gzipOfZeros(256LL * 1024 * 1024);
    EXPECT_LT(bomb.size(), 300 * 1024);
    EXPECT_TRUE(gzip().unzip(bomb).isNull());
}
