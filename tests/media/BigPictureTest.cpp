#include "albums/store/PavPhotoManager.h"
#include "platform/media/ImageCodec.h"
#include "platform/media/PngRowDecoder.h"
#include "platform/photolib/FolderAssetsLibrary.h"
#include "platform/photolib/FolderPhotoLibrary.h"
#include "support/EventLoop.h"
#include "support/ImageFixtures.h"
#include "support/PeakMemory.h"

#include <QBuffer>
#include <QDir>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using ImageFixtures::PngLayout;

namespace {

const QColor kRed(200, 40, 40);

bool near(const QColor& a, const QColor& b)
{
    return std::abs(a.red() - b.red()) <= 3 && std::abs(a.green() - b.green()) <= 3 && std::abs(a.blue() - b.blue()) <= 3;
}

QColor centre(const QImage& image)
{
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

// A device over bytes that counts what is read from it.
class CountedBuffer : public QBuffer {
public:
    explicit CountedBuffer(const QByteArray& bytes)
    {
        setData(bytes);
        open(QIODevice::ReadOnly);
    }
    qint64 bytesRead() const { return m_read; }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        const qint64 n = QBuffer::readData(data, maxSize);
        m_read += std::max<qint64>(0, n);
        return n;
    }

private:
    qint64 m_read = 0;
};

QImage decodeRows(const QByteArray& png, const QSize& size)
{
    QBuffer buffer;
    buffer.setData(png);
    buffer.open(QIODevice::ReadOnly);
    return PngRowDecoder::decode(&buffer, size);
}

}

// 6000 x 6000 is past what is decoded whole, in each layout tools write;
// Qt's own scaled PNG read fails on the palette and interlaced ones.
TEST(BigPicture, PicturesTooLargeToDecodeWholeComeBackScaledInEveryLayout)
{
    const std::pair<PngLayout, QColor> layouts[] = {{PngLayout::Rgb, kRed},
                                                    {PngLayout::Palette, kRed},
                                                    {PngLayout::Grey16, QColor(qGray(kRed.rgb()), qGray(kRed.rgb()), qGray(kRed.rgb()))},
                                                    {PngLayout::InterlacedRgb, kRed}};
    for (const auto& [layout, shown] : layouts) {
        SCOPED_TRACE(int(layout));
        const QByteArray png = ImageFixtures::plainPng(6000, 6000, kRed, layout);
        const QImage thumb = ImageCodec::decodeScaled(png, QSize(64, 64));
        ASSERT_EQ(thumb.size(), QSize(64, 64));
        EXPECT_TRUE(near(centre(thumb), shown));
        EXPECT_TRUE(near(thumb.pixelColor(0, 63), shown));   // no row left blank at the edges
        // Asked whole, it comes back as large as may be decoded, not as nothing.
        const QImage whole = ImageCodec::decode(png);
        ASSERT_FALSE(whole.isNull());
        EXPECT_EQ(whole.width(), whole.height());
        EXPECT_GE(whole.width(), 2048);
        EXPECT_LE(qint64(whole.width()) * whole.height(), 4096LL * 4096);
        // What does not decode still fails: a truncated file.
        EXPECT_TRUE(ImageCodec::decodeScaled(png.left(png.size() / 2), QSize(64, 64)).isNull());
    }
    EXPECT_TRUE(decodeRows("not a png", QSize(8, 8)).isNull());
}

// A megabyte of PNG claiming ten billion pixels: every row of it would be
// a minute of work, so it is refused from its header (the caller shows its
// placeholder), for a thumbnail, a whole picture and the row decoder alike.
TEST(BigPicture, APictureOfTenBillionPixelsIsRefusedFromItsHeaderAlone)
{
    const QByteArray bomb = ImageFixtures::bilevelPng(100000, kRed);
    ASSERT_LT(bomb.size(), 2 * 1024 * 1024);
    EXPECT_TRUE(ImageCodec::hasPictureHeader(bomb));
    EXPECT_TRUE(ImageCodec::isTooLargeToDecode(bomb));
    for (const QSize& cover : {QSize(150, 150), QSize()}) {
        CountedBuffer device(bomb);
        EXPECT_TRUE(ImageCodec::decodeScaled(&device, cover).isNull());
        EXPECT_LT(device.bytesRead(), bomb.size() / 10);
    }
    CountedBuffer rows(bomb);
    EXPECT_TRUE(PngRowDecoder::decode(&rows, QSize(64, 64)).isNull());
    EXPECT_LT(rows.bytesRead(), bomb.size() / 10);

    // The same kind of picture within the budget decodes row by row, and
    // the largest pictures users have are within it.
    const QByteArray within = ImageFixtures::bilevelPng(6000, kRed);
    EXPECT_FALSE(ImageCodec::isTooLargeToDecode(within));
    const QImage thumb = ImageCodec::thumbnailFromData(within, QSize(150, 150));
    ASSERT_EQ(thumb.size(), QSize(150, 150));
    EXPECT_TRUE(near(centre(thumb), kRed));
    EXPECT_FALSE(ImageCodec::isTooLargeToDecode(ImageFixtures::bilevelPng(20000, kRed)));
}

TEST(BigPicture, RowDecoderAveragesBlocksAndKeepsTransparency)
{
    // Left half red, right half see-through blue.
    QImage image(64, 32, QImage::Format_ARGB32);
    image.fill(QColor(0, 0, 255, 0));
    QPainter(&image).fillRect(0, 0, 32, 32, kRed);
    const QImage small = decodeRows(ImageFixtures::encode(image, "png"), QSize(16, 8));
    ASSERT_EQ(small.size(), QSize(16, 8));
    EXPECT_TRUE(near(small.pixelColor(3, 4), kRed));
    EXPECT_EQ(small.pixelColor(12, 4).alpha(), 0);
    // A size beyond the picture is clamped to it.
    EXPECT_EQ(decodeRows(ImageFixtures::encode(image, "png"), QSize(100, 100)).size(), QSize(64, 32));
}

// The library shows it, the private album stores it and saves it back, and
// the process never holds the picture whole.
TEST(BigPicture, A20000PixelSquarePictureIsShownStoredAndSavedBackWithBoundedMemory)
{
    QTemporaryDir dir;
    const QString root = dir.filePath("Pictures");
    ASSERT_TRUE(ImageFixtures::writeFile(root + "/huge.png", ImageFixtures::plainPng(20000, 20000, kRed, PngLayout::Palette)));

    FolderAssetsLibrary library(root, dir.filePath("Caches"));
    std::vector<AssetsGroup> groups;
    ASSERT_TRUE(library.enumerateGroups(AssetsGroupSavedPhotos, &groups, nullptr));
    ASSERT_EQ(groups.size(), 1u);
    ASSERT_EQ(groups[0].assets.size(), 1u);
    const PhotoAssetPtr asset = groups[0].assets[0];
    const QImage square = library.thumbnail(*asset);
    EXPECT_EQ(square.size(), QSize(200, 200));
    EXPECT_TRUE(near(centre(square), kRed));
    EXPECT_EQ(library.aspectRatioThumbnail(*asset).size(), QSize(256, 256));
    const QImage screen = library.fullScreenImage(*asset);
    EXPECT_EQ(screen.size(), QSize(1536, 1536));
    EXPECT_TRUE(near(centre(screen), kRed));

    auto photos = std::make_shared<FolderPhotoLibrary>(root);
    PavPhotoManager store(dir.filePath("photo"), photos);
    ASSERT_TRUE(store.encryptAsset(*photos->assetForFile(root + "/huge.png")));
    const PavPhotoModelList items = store.photoes();
    ASSERT_EQ(items.size(), 1);
    EXPECT_TRUE(near(centre(PavPhotoManager::decryptPhotoWithFullPath(store.getPhotoFullPath(*items[0]) + ".thumb")), kRed));
    // Moved out: the copy is checked as a picture before it counts.
    std::optional<QString> error;
    store.decryptPhoto(items[0], nullptr, [&](const PavPhotoModelPtr&, const QString& e) { error = e; });
    ASSERT_TRUE(waitUntil([&] { return error.has_value(); }, 60000));
    EXPECT_EQ(*error, "");
    EXPECT_EQ(QDir(root).entryList({"*.PNG", "*.png"}, QDir::Files).size(), 2);

    // 20000 x 20000 pixels whole would be 1.6 GB.
    EXPECT_LT(peakResidentMb(), 600);
}
