#include "platform/media/ImageCodec.h"
#include "support/ImageFixtures.h"

#include <QBuffer>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Three vertical bands: blue | red | blue, or horizontal when `rows`.
QImage bands(int w, int h, int middle, bool rows)
{
    QImage image = ImageFixtures::solid(w, h, Qt::blue);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int pos = rows ? y : x;
            const int len = rows ? h : w;
            if (pos >= (len - middle) / 2 && pos < (len + middle) / 2)
                image.setPixelColor(x, y, Qt::red);
        }
    return image;
}

bool allRed(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() < 200 || c.blue() > 60)
                return false;
        }
    return true;
}

TEST(ImageCodecTest, ThumbnailCropsTheCentreToTheTargetAspectThenScales)
{
    // Wide: the centre square of 400x100 is the red band.
    const QImage wide = ImageCodec::thumbnailWithSize(bands(400, 100, 100, false), QSize(150, 150));
    EXPECT_EQ(wide.size(), QSize(150, 150));
    EXPECT_TRUE(allRed(wide));
    // Tall, with a non-square target: 100x400 to 60x30 keeps the middle 100x50.
    const QImage tall = ImageCodec::thumbnailWithSize(bands(100, 400, 50, true), QSize(60, 30));
    EXPECT_EQ(tall.size(), QSize(60, 30));
    EXPECT_TRUE(allRed(tall));
    // Smaller sources are scaled up.
    EXPECT_EQ(ImageCodec::thumbnailWithSize(ImageFixtures::solid(10, 20, Qt::red), QSize(150, 150)).size(),
              QSize(150, 150));
}

TEST(ImageCodecTest, ThumbnailReturnsTheSourceForItsOwnSizeOrABadTarget)
{
    const QImage source = ImageFixtures::pattern(150, 150);
    EXPECT_EQ(ImageCodec::thumbnailWithSize(source, QSize(150, 150)).cacheKey(), source.cacheKey());
    const QImage other = ImageFixtures::pattern(300, 200);
    EXPECT_EQ(ImageCodec::thumbnailWithSize(other, QSize(0, 150)).cacheKey(), other.cacheKey());
    EXPECT_EQ(ImageCodec::thumbnailWithSize(other, QSize(150, -1)).cacheKey(), other.cacheKey());
    EXPECT_TRUE(ImageCodec::thumbnailWithSize(QImage(), QSize(150, 150)).isNull());
}

TEST(ImageCodecTest, DecodesTheCommonFormatsAndRejectsGarbage)
{
    const QImage image = ImageFixtures::pattern(64, 48);
    for (const char* format : {"jpeg", "png", "gif", "bmp"})
        EXPECT_EQ(ImageCodec::decode(ImageFixtures::encode(image, format)).size(), QSize(64, 48)) << format;
    EXPECT_TRUE(ImageCodec::decode("definitely not an image").isNull());
    EXPECT_TRUE(ImageCodec::decode(QByteArray()).isNull());
    QByteArray truncated = ImageFixtures::encode(image, "png");
    truncated.truncate(20);
    EXPECT_TRUE(ImageCodec::decode(truncated).isNull());
}

TEST(ImageCodecTest, DecodingAppliesTheExifOrientation)
{
    // Orientation 6: stored 80x40, shown 40x80.
    const QByteArray jpeg = ImageFixtures::withExif(ImageFixtures::jpeg(80, 40), "", "", "", 6);
    EXPECT_EQ(ImageCodec::decode(jpeg).size(), QSize(40, 80));
    const QImage scaled = ImageCodec::decodeScaled(jpeg, QSize(10, 10));
    EXPECT_EQ(scaled.size(), QSize(10, 20));
    EXPECT_EQ(ImageCodec::thumbnailFromData(jpeg, QSize(20, 30)).size(), QSize(20, 30));
}

TEST(ImageCodecTest, AOneBitOrPalettePictureScaledDownIsGreyNotDithered)
{
    // Lines a third of the pixels: an even grey of 255 * 2/3 once smaller.
    // Scaled in its own format the picture comes back dithered to black and
    // white specks, different in every row.
    const QImage mono = ImageFixtures::oneBitLines(600, 300);
    for (const QImage& stored : {mono, mono.convertToFormat(QImage::Format_Indexed8)}) {
        const QImage decoded = ImageCodec::decodeScaled(ImageFixtures::encode(stored, "png"), QSize(150, 75));
        ASSERT_EQ(decoded.size(), QSize(150, 75));
        EXPECT_TRUE(ImageFixtures::evenColumns(decoded, 170, 12)) << "format " << stored.format();
    }
    EXPECT_TRUE(ImageFixtures::evenColumns(ImageCodec::thumbnailWithSize(mono, QSize(100, 100)), 170, 12));
}

TEST(ImageCodecTest, ScaledDecodeCoversTheTargetAndKeepsTheAspect)
{
    const QByteArray jpeg = ImageFixtures::jpeg(4000, 3000);
    const QImage image = ImageCodec::decodeScaled(jpeg, QSize(150, 150));
    EXPECT_EQ(image.size(), QSize(200, 150));
    // Not scaled up, and an invalid cover means the full image.
    EXPECT_EQ(ImageCodec::decodeScaled(ImageFixtures::jpeg(40, 30), QSize(150, 150)).size(), QSize(40, 30));
    EXPECT_EQ(ImageCodec::decodeScaled(ImageFixtures::jpeg(40, 30), QSize()).size(), QSize(40, 30));

    QTemporaryDir dir;
    ImageFixtures::writeFile(dir.path() + "/p.png", ImageFixtures::encode(ImageFixtures::pattern(300, 600), "png"));
    EXPECT_EQ(ImageCodec::decodeScaledFile(dir.path() + "/p.png", QSize(150, 150)).size(), QSize(150, 300));
    EXPECT_TRUE(ImageCodec::decodeScaledFile(dir.path() + "/missing.png", QSize(150, 150)).isNull());
}

}
