#include "albums/widgets/ImageLoadPool.h"
#include "platform/media/DecodeMemoryBudget.h"
#include "platform/media/ImageCodec.h"
#include "platform/media/JpegHeader.h"
#include "support/EventLoop.h"
#include "support/ImageFixtures.h"
#include "support/JpegBomb.h"
#include "support/PeakMemory.h"

#include <QBuffer>

#include <gtest/gtest.h>

#include <chrono>
#include <future>

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
