#include "albums/browser/PhotoZoom.h"
#include "albums/widgets/ImageLoadPool.h"
#include "platform/core/MainThread.h"
#include "platform/media/DecodeMemoryBudget.h"
#include "platform/media/ImageCodec.h"
#include "platform/media/JpegHeader.h"
#include "support/EventLoop.h"
#include "support/GzipBomb.h"
#include "support/ImageFixtures.h"
#include "support/JpegBomb.h"
#include "support/PeakMemory.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

using namespace std::chrono_literals;

namespace {

std::optional<JpegHeader> headerOf(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    buffer.seek(0);
    std::optional<JpegHeader> header = JpegHeader::read(&buffer);
    EXPECT_EQ(buffer.pos(), 0);   // left where it was, for the reader
    return header;
}

}

// The frame is found past an EXIF block, and tells progressive from
// baseline; a progressive 65000 x 8000 at 4:2:0 keeps 1.56 GB of
// coefficients (two bytes for each of 1.5 samples a pixel).
TEST(DecodeBomb, TheHeaderTellsWhetherTheWholePictureIsKept)
{
    const QByteArray bomb = ImageFixtures::withExif(jpegClaiming(65000, 8000), "2020:01:02 03:04:05", "", "", 6);
    const std::optional<JpegHeader> progressive = headerOf(bomb);
    ASSERT_TRUE(progressive);
    EXPECT_EQ(progressive->size, QSize(65000, 8000));
    EXPECT_TRUE(progressive->wholeCoefficients);
    ASSERT_EQ(progressive->components.size(), 3u);
    EXPECT_EQ(progressive->components[0].h, 2);
    // Three bytes a pixel, and a little for padding to whole blocks.
    EXPECT_GE(progressive->coefficientBytes(), 65000LL * 8000 * 3);
    EXPECT_LT(progressive->coefficientBytes(), 65000LL * 8000 * 3 * 1001 / 1000);

    const std::optional<JpegHeader> baseline = headerOf(jpegClaiming(65000, 8000, false));
    ASSERT_TRUE(baseline);
    EXPECT_FALSE(baseline->wholeCoefficients);
    EXPECT_FALSE(headerOf(ImageFixtures::encode(ImageFixtures::pattern(8, 8), "png")));
    EXPECT_FALSE(headerOf(jpegClaiming(65000, 8000).left(100)));   // cut before its frame
}

// A 3 KB progressive JPEG claiming 65000 x 8000 is refused from its header:
// a thumbnail of it would hold 1.5 GB whatever its scale. The same claim in
// a baseline file is decoded at 1/8 in a few rows, and is not refused.
TEST(DecodeBomb, AProgressiveJpegWhoseCoefficientsPassTheBudgetIsRefusedUndecoded)
{
    const QByteArray bomb = jpegClaiming(65000, 8000);
    ASSERT_LT(bomb.size(), 8 * 1024);
    const qint64 peakBefore = peakResidentMb();
    EXPECT_TRUE(ImageCodec::hasPictureHeader(bomb));
    EXPECT_TRUE(ImageCodec::isTooLargeToDecode(bomb));
    EXPECT_TRUE(ImageCodec::thumbnailFromData(bomb, QSize(150, 150)).isNull());
    EXPECT_TRUE(ImageCodec::decode(bomb).isNull());
    EXPECT_LT(peakResidentMb(), peakBefore + 200);
    EXPECT_EQ(DecodeMemoryBudget::shared().reserved(), 0);

    EXPECT_FALSE(ImageCodec::isTooLargeToDecode(jpegClaiming(65000, 8000, false)));
    // A camera's progressive photo is well within the budget.
    const QImage thumb = ImageCodec::thumbnailFromData(jpegOf(ImageFixtures::pattern(4000, 3000), true), QSize(150, 150));
    EXPECT_EQ(thumb.size(), QSize(150, 150));
}

// While other decodes hold the budget a decode waits, then goes on; a pool
// being stopped does not wait for a decode of its own that is still waiting.
TEST(DecodeBomb, ADecodeWaitsForTheBudgetAndAStoppedPoolDoesNotWaitForIt)
{
    DecodeMemoryBudget& budget = DecodeMemoryBudget::shared();
    const QByteArray photo = ImageFixtures::jpeg(1600, 1200);
    DecodeMemoryBudget::Reservation others = budget.reserve(budget.capacity() - 1024);
    ASSERT_TRUE(others);
    std::future<QImage> waiting =
        std::async(std::launch::async, [&] { return ImageCodec::thumbnailFromData(photo, QSize(150, 150)); });
    ASSERT_TRUE(waitUntil([&] { return budget.waiting() == 1; }, 30000));
    EXPECT_EQ(waiting.wait_for(50ms), std::future_status::timeout);
    others = {};
    ASSERT_EQ(waiting.wait_for(60s), std::future_status::ready);
    EXPECT_EQ(waiting.get().size(), QSize(150, 150));

    others = budget.reserve(budget.capacity() - 1024);
    QObject receiver;
    bool applied = false;
    {
        ImageLoadPool pool(1, "DecodeBombTest");
        pool.load(&receiver, [&] { return ImageCodec::thumbnailFromData(photo, QSize(150, 150)); }, {},
                  [&](const QImage&) { applied = true; });
        ASSERT_TRUE(waitUntil([&] { return budget.waiting() == 1; }, 30000));
        pool.stop();   // returns while the budget is still held
        EXPECT_EQ(budget.waiting(), 0);
    }
    others = {};
    spinEvents(50);
    EXPECT_FALSE(applied);
    EXPECT_EQ(budget.reserved(), 0);
}

// A baseline 20000 x 20000 whose first scan carries one component keeps
// 1.2 GB of coefficients. libjpeg passes over bytes that are no marker, a
// comment whose length is too short and any number of markers, and reads on
// to that scan; the header reader follows it there, or takes the worst, so
// each of these is refused from its header as the plain one is. A byte after
// the start marker does not make a JPEG a picture of unknown kind.
TEST(DecodeBomb, BytesTheDecoderPassesOverDoNotHideAScanThatKeepsTheWholePicture)
{
    // Progressive at 4:4:4 it keeps 6 bytes a pixel, more than a picture of
    // unknown kind is taken to hold.
    QByteArray afterSoi = jpegClaiming(13500, 13500);
    const qsizetype frame = afterSoi.indexOf("\xFF\xC2");
    ASSERT_GT(frame, 0);
    for (int c = 0; c < 3; ++c)
        afterSoi[frame + 11 + 3 * c] = '\x11';
    afterSoi.insert(2, '\0');
    const QList<std::pair<const char*, QByteArray>> bombs = {
        {"plain", multiScanJpegClaiming(20000, 20000)},
        {"zero bytes after the frame", multiScanJpegClaiming(20000, 20000, QByteArray(16, '\0'))},
        {"a comment of length 0", multiScanJpegClaiming(20000, 20000, QByteArray("\xFF\xFE\x00\x00", 4))},
        {"1001 empty comments", multiScanJpegClaiming(20000, 20000, QByteArray("\xFF\xFE\x00\x02", 4).repeated(1001))},
        {"a byte after the start marker", afterSoi},
    };
    const qint64 peakBefore = peakResidentMb();
    for (const auto& [what, bomb] : bombs) {
        ASSERT_FALSE(bomb.isEmpty()) << what;
        EXPECT_TRUE(ImageCodec::hasPictureHeader(bomb)) << what;
        EXPECT_TRUE(ImageCodec::isTooLargeToDecode(bomb)) << what;
        EXPECT_TRUE(ImageCodec::thumbnailFromData(bomb, QSize(150, 150)).isNull()) << what;
    }
    EXPECT_LT(peakResidentMb(), peakBefore + 200);
    EXPECT_EQ(DecodeMemoryBudget::shared().reserved(), 0);

    // The same scan in a picture that fits is decoded.
    const QByteArray small = multiScanJpegClaiming(1600, 1200, QByteArray(16, '\0'));
    EXPECT_FALSE(ImageCodec::isTooLargeToDecode(small));
    EXPECT_EQ(ImageCodec::thumbnailFromData(small, QSize(150, 150)).size(), QSize(150, 150));
}

// The window's own decodes run on the main thread (the cloud album's icon
// and thumbnails): while other threads' decodes hold the whole budget and
// another waits, such a decode goes on at once rather than freeze the
// window; one past the main thread's allowance is refused, not waited for.
TEST(DecodeBomb, TheMainThreadIsNotMadeToWaitBehindOtherDecodes)
{
    ASSERT_TRUE(MainThread::isMainThread());
    DecodeMemoryBudget& budget = DecodeMemoryBudget::shared();
    QTemporaryDir dir;
    const QString thumb = dir.filePath("photo.JPG.thumb");
    ASSERT_TRUE(ImageFixtures::writeFile(thumb, ImageFixtures::jpeg(128, 128)));
    const QByteArray large = ImageFixtures::jpeg(6000, 4000);

    // Held until let go; past a deadline too, so a main thread made to wait
    // is not stuck for ever.
    std::atomic<bool> letGo{false};
    std::promise<void> holding;
    std::future<void> others = std::async(std::launch::async, [&] {
        const DecodeMemoryBudget::Reservation held = budget.reserve(budget.capacity());
        holding.set_value();
        const auto deadline = std::chrono::steady_clock::now() + 30s;
        while (!letGo && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(1ms);
    });
    holding.get_future().wait();
    const QByteArray photo = ImageFixtures::jpeg(1600, 1200);
    std::future<QImage> waiting =
        std::async(std::launch::async, [&] { return ImageCodec::thumbnailFromData(photo, QSize(150, 150)); });
    ASSERT_TRUE(waitUntil([&] { return budget.waiting() == 1; }, 30000));

    const QImage shown = ImageCodec::decodeFile(thumb);
    const QImage refused = ImageCodec::decode(large);
    const bool stillHeld = !letGo && others.wait_for(0ms) == std::future_status::timeout;
    letGo = true;
    others.get();
    EXPECT_TRUE(stillHeld) << "the main thread waited for the other decodes to end";
    EXPECT_EQ(shown.size(), QSize(128, 128));
    EXPECT_TRUE(refused.isNull());
    ASSERT_EQ(waiting.wait_for(60s), std::future_status::ready);
    EXPECT_EQ(waiting.get().size(), QSize(150, 150));
    EXPECT_EQ(budget.reserved(), 0);
    EXPECT_FALSE(ImageCodec::decode(large).isNull());
}

// A picture a reader decodes whole is held twice: a TIFF or WebP reader
// decodes into a buffer of its own, and a 16-bit picture scaled to a
// thumbnail is scaled from a premultiplied copy; a TIFF may hold 16 bits a
// sample. An icon's directory does not tell the size of a PNG it holds.
// What each such decode reserves covers what it holds at its peak.
TEST(DecodeBomb, WhatAWholeDecodeReservesCoversWhatItHolds)
{
    const QImage deep = ImageFixtures::pattern(4000, 4000).convertToFormat(QImage::Format_RGBA64);
    const QImage alpha = ImageFixtures::pattern(4000, 4000).convertToFormat(QImage::Format_ARGB32);
    // An icon whose one entry, said to be 256 x 256, holds a 4000 x 4000 PNG.
    const QByteArray png = ImageFixtures::encode(alpha, "png");
    QByteArray icon = QByteArray("\0\0\1\0\1\0\0\0\0\0\1\0\x20\0", 14);
    for (const quint32 word : {quint32(png.size()), quint32(22)})
        for (int shift = 0; shift < 32; shift += 8)
            icon.append(char((word >> shift) & 0xFF));
    icon.append(png);
    const QList<std::pair<const char*, QByteArray>> pictures = {
        {"icon", icon},
        {"16-bit PNG", ImageFixtures::encode(deep, "png")},
        {"16-bit TIFF", ImageFixtures::encode(deep, "tiff")},
        {"WebP", ImageFixtures::encode(alpha, "webp", 100)},
    };
    DecodeMemoryBudget& budget = DecodeMemoryBudget::shared();
    for (const auto& [what, bytes] : pictures) {
        ASSERT_FALSE(bytes.isEmpty()) << what;
        if (!restartResidentPeak())
            GTEST_SKIP() << "the resident peak cannot be started over here";
        std::future<QImage> thumb =
            std::async(std::launch::async, [&bytes] { return ImageCodec::thumbnailFromData(bytes, QSize(150, 150)); });
        qint64 reserved = 0;
        while (thumb.wait_for(1ms) != std::future_status::ready)
            reserved = std::max(reserved, budget.reserved());
        EXPECT_EQ(thumb.get().size(), QSize(150, 150)) << what;
        const qint64 heldMb = residentPeakSinceRestartMb();
        EXPECT_GT(heldMb, 100) << what;
        EXPECT_LE(heldMb, (reserved >> 20) * 5 / 4 + 16) << what << ": reserved " << (reserved >> 20) << " MB";
    }
}

// Each scan of a progressive JPEG is a pass over the whole picture: 40
// bytes more make one more, so a few kilobytes can keep a decode (and the
// budget it holds) busy for minutes. A stop asked of the decoding thread
// ends the decoder's input: it reads no further and ends with what it has.
TEST(DecodeBomb, AStopEndsADecodeOfAJpegOfManyScans)
{
    QByteArray bomb = jpegClaiming(8000, 8000);
    const qsizetype end = bomb.lastIndexOf("\xFF\xD9");
    const qsizetype lastScan = bomb.lastIndexOf("\xFF\xDA");
    ASSERT_GT(lastScan, 0);
    bomb.insert(end, bomb.mid(lastScan, end - lastScan).repeated(1000));
    QTemporaryDir dir;
    const QString path = dir.filePath("SCANS.JPG");
    ASSERT_TRUE(ImageFixtures::writeFile(path, bomb));

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    // Stopped once the decoder has read past its first few kilobytes.
    const DecodeMemoryBudget::StopCheck stop([&file] { return file.pos() > 4096; });
    ImageCodec::decodeScaled(&file, QSize(150, 150));
    EXPECT_LE(file.pos(), 8192) << "of " << file.size();
    EXPECT_EQ(DecodeMemoryBudget::shared().reserved(), 0);
}

// A drawing named as a photo: a gzipped SVG of 1 MB inflates to 512 MiB
// before anything of it is known, a plain one is drawn at whatever cost its
// shapes have. Neither has a header a cost could be told from: the library's
// thumbnail, the browser's size and the private album's check of a picture
// leave it undecoded, as a photo that cannot be loaded.
TEST(DecodeBomb, ADrawingIsNeitherInflatedNorDrawn)
{
    const QByteArray gzipped = gzipPadded("<?xml version=\"1.0\"?><svg xmlns=\"http://www.w3.org/2000/svg\" "
                                          "width=\"300\" height=\"200\"><!--",
                                          qint64(512) << 20, ' ', "--></svg>");
    ASSERT_LT(gzipped.size(), 2 << 20);
    ASSERT_TRUE(gzipped.startsWith("\x1F\x8B"));
    const QByteArray plain = "<?xml version=\"1.0\"?><svg xmlns=\"http://www.w3.org/2000/svg\" width=\"300\" "
                             "height=\"200\"><rect width=\"300\" height=\"200\" fill=\"blue\"/></svg>";
    for (const QByteArray& drawing : {gzipped, plain}) {
        if (!restartResidentPeak())
            GTEST_SKIP() << "the resident peak cannot be started over here";
        EXPECT_FALSE(PhotoZoom::uprightSize(drawing).isValid());
        EXPECT_FALSE(ImageCodec::hasPictureHeader(drawing));
        EXPECT_FALSE(ImageCodec::isTooLargeToDecode(drawing));
        EXPECT_TRUE(ImageCodec::thumbnailFromData(drawing, QSize(150, 150)).isNull());
        QTemporaryDir dir;
        const QString path = dir.filePath("IMG_0001.JPG");
        ASSERT_TRUE(ImageFixtures::writeFile(path, drawing));
        EXPECT_TRUE(ImageCodec::decodeScaledFile(path, QSize(300, 300)).isNull());
        EXPECT_LT(residentPeakSinceRestartMb(), 100);
        EXPECT_EQ(DecodeMemoryBudget::shared().reserved(), 0);
    }
}
