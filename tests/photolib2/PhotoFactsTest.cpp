#include "platform/media/VideoReader.h"
#include "platform/photolib/CachedFolderAsset.h"
#include "platform/photolib/ExifFacts.h"
#include "platform/photolib/FolderPhotoAsset.h"
#include "platform/photolib/LibraryFile.h"
#include "platform/photolib/ImageOrientation.h"
#include "support/GzipBomb.h"
#include "support/ImageFixtures.h"
#include "support/PeakMemory.h"
#include "support/VideoFixtures.h"

#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>


namespace {

QTimeZone berlin() { return QTimeZone("Europe/Berlin"); }

}

TEST(ExifFacts, DateAndOrientationFromGeneratedJpeg)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.jpg");
    ASSERT_TRUE(ImageFixtures::writeFile(
        path, ImageFixtures::withExif(ImageFixtures::jpeg(40, 20), "2021:03:05 10:20:30", "", "", 6)));
    const ExifFacts facts = ExifFacts::read(path, berlin());
    ASSERT_TRUE(facts.date.has_value());
    // 10:20:30 in Berlin (winter time) is 09:20:30 UTC.
    EXPECT_EQ(facts.date->toUTC(), QDateTime(QDate(2021, 3, 5), QTime(9, 20, 30), Qt::UTC));
    EXPECT_EQ(facts.orientation, 6);
}

// Without EXIF, or with an EXIF block that holds no dates (where libexif's
// fix-ups would make up a DateTime of now), the asset takes the file time.
TEST(ExifFacts, NoExifDatesLeaveTheFileTime)
{
    QTemporaryDir dir;
    EXPECT_FALSE(ExifFacts::read(dir.filePath("missing.jpg")).date.has_value());
    const QDateTime mtime(QDate(2015, 6, 7), QTime(8, 9, 10), Qt::UTC);
    for (int orientation : {0, 6}) {
        const QString path = dir.filePath(QString("nodate%1.jpg").arg(orientation));
        const QByteArray plain = ImageFixtures::jpeg(8, 8);
        ASSERT_TRUE(ImageFixtures::writeFile(
            path, orientation ? ImageFixtures::withExif(plain, "", "", "", orientation) : plain));
        ASSERT_TRUE(ImageFixtures::setModified(path, mtime));
        const ExifFacts facts = ExifFacts::read(path);
        EXPECT_FALSE(facts.date.has_value());
        EXPECT_EQ(facts.orientation, orientation ? orientation : 1);
        const CachedFolderAsset asset(dir.path(), path, nullptr);
        EXPECT_EQ(asset.date(), mtime);
    }
}

TEST(ExifFacts, ParseDateHonoursOffsetAndRejectsJunk)
{
    const auto withOffset = ExifFacts::parseDate("2020:07:01 12:00:00", "+09:00", berlin());
    ASSERT_TRUE(withOffset.has_value());
    EXPECT_EQ(*withOffset, QDateTime(QDate(2020, 7, 1), QTime(3, 0), Qt::UTC));
    const auto local = ExifFacts::parseDate("2020:07:01 12:00:00", "", berlin());
    ASSERT_TRUE(local.has_value());
    EXPECT_EQ(*local, QDateTime(QDate(2020, 7, 1), QTime(10, 0), Qt::UTC));
    EXPECT_FALSE(ExifFacts::parseDate("0000:00:00 00:00:00", "", berlin()).has_value());
    EXPECT_FALSE(ExifFacts::parseDate("not a date", "", berlin()).has_value());
}

TEST(ImageOrientation, TurnsAreApplied)
{
    QImage raw(4, 2, QImage::Format_RGB32);
    raw.fill(Qt::white);
    raw.setPixel(0, 0, qRgb(255, 0, 0));  // red at the top left
    const QImage right = applyOrientation(raw, orientationFromExif(6));
    EXPECT_EQ(right.size(), QSize(2, 4));
    EXPECT_EQ(right.pixel(1, 0), qRgb(255, 0, 0));  // clockwise: top left goes top right
    const QImage left = applyOrientation(raw, orientationFromExif(8));
    EXPECT_EQ(left.pixel(0, 3), qRgb(255, 0, 0));
    EXPECT_EQ(applyOrientation(raw, orientationFromExif(3)).pixel(3, 1), qRgb(255, 0, 0));
    EXPECT_EQ(applyOrientation(raw, orientationFromExif(2)).pixel(3, 0), qRgb(255, 0, 0));
    EXPECT_EQ(orientationFromExif(0), ImageOrientation::Up);
    EXPECT_EQ(orientationFromExif(9), ImageOrientation::Up);
}

TEST(VideoReader, DurationCreationTimeAndPoster)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("clip.mp4");
    if (!VideoFixtures::makeVideo(path, "2020-05-06T07:08:09Z"))
        GTEST_SKIP() << "ffmpeg could not make a video fixture";
    const auto info = VideoReader::probe(path);
    ASSERT_TRUE(info.has_value());
    EXPECT_GT(info->duration, 1.5);
    ASSERT_TRUE(info->creationTime.has_value());
    EXPECT_EQ(*info->creationTime, QDateTime(QDate(2020, 5, 6), QTime(7, 8, 9), Qt::UTC));
    EXPECT_EQ(info->width, 64);
    const QImage poster = VideoReader::poster(path);
    ASSERT_FALSE(poster.isNull());
    EXPECT_EQ(poster.size(), QSize(64, 48));
    EXPECT_EQ(VideoReader::poster(path, 32).width(), 32);
}

// Each of the library's video suffixes, in the codecs cameras and phones
// write: all are read as videos, with their length and a first picture.
TEST(VideoReader, EveryVideoSuffixAndCommonCodecIsRead)
{
    QTemporaryDir dir;
    const QList<std::pair<QString, QString>> cases = {
        {"h264.MOV", "libx264"}, {"mjpeg.MOV", "mjpeg"}, {"mpeg4.MOV", "mpeg4"},
        {"h264.MP4", "libx264"}, {"mpeg4.MP4", "mpeg4"},  {"h264.M4V", "libx264"},
        {"h264.3GP", "libx264"}, {"mpeg4.3GP", "mpeg4"},  {"mjpeg.AVI", "mjpeg"},
        {"mpeg4.AVI", "mpeg4"},  {"h264.AVI", "libx264"}, {"vp8.MKV", "libvpx"},
        {"vp9.MKV", "libvpx-vp9"}, {"h264.MKV", "libx264"}, {"mjpeg.MKV", "mjpeg"},
    };
    int made = 0;
    for (const auto& [name, encoder] : cases) {
        const QString path = dir.filePath(name);
        if (!VideoFixtures::makeVideo(path, {}, encoder))
            continue;
        ++made;
        const auto info = VideoReader::probe(path);
        ASSERT_TRUE(info.has_value()) << name.toStdString();
        EXPECT_GT(info->duration, 1.5) << name.toStdString();
        EXPECT_EQ(info->width, 64) << name.toStdString();
        EXPECT_FALSE(VideoReader::poster(path, 32).isNull()) << name.toStdString();
    }
    if (made == 0)
        GTEST_SKIP() << "ffmpeg could not make a video fixture";
}

TEST(VideoReader, NonVideosFailCleanly)
{
    QTemporaryDir dir;
    const QString junk = dir.filePath("junk.mov");
    ASSERT_TRUE(ImageFixtures::writeFile(junk, QByteArray(300, 'x')));
    EXPECT_FALSE(VideoReader::probe(junk).has_value());
    EXPECT_TRUE(VideoReader::poster(junk).isNull());
    EXPECT_FALSE(VideoReader::probe(dir.filePath("missing.mp4")).has_value());
}

// Still pictures and other files named as videos: FFmpeg reads pictures as
// one-frame streams, outside the decode budget, and its reader of game
// console music inflates any gzip whole (a gzipped drawing of 1 MB to 512
// MiB). None is taken for a video, and none is inflated.
TEST(VideoReader, AStillPictureIsNotAVideo)
{
    QTemporaryDir dir;
    const QList<std::pair<const char*, QByteArray>> pictures = {
        {"CLIP.MP4", ImageFixtures::jpeg(64, 48)},
        {"CLIP.MOV", ImageFixtures::encode(ImageFixtures::pattern(64, 48), "png")},
        {"CLIP.AVI", ImageFixtures::encode(ImageFixtures::pattern(64, 48), "gif")},
        {"CLIP.MKV", gzipPadded("<?xml version=\"1.0\"?><svg xmlns=\"http://www.w3.org/2000/svg\" width=\"300\" "
                                "height=\"200\"><!--",
                                qint64(512) << 20, ' ', "--><rect width=\"300\" height=\"200\"/></svg>")},
    };
    for (const auto& [name, bytes] : pictures) {
        const QString path = dir.filePath(name);
        ASSERT_TRUE(ImageFixtures::writeFile(path, bytes)) << name;
        if (!restartResidentPeak())
            GTEST_SKIP() << "the resident peak cannot be started over here";
        EXPECT_FALSE(VideoReader::probe(path).has_value()) << name;
        EXPECT_TRUE(VideoReader::poster(path, 128).isNull()) << name;
        EXPECT_LT(residentPeakSinceRestartMb(), 100) << name;
    }
}

// A listed photo whose name a pipe takes before its date or its bytes are
// read (the user's folder changes under the listing): neither read waits on
// the pipe, which would hold the listing's threads, and the quit joining
// them, for ever. The date falls back to the listed time; the read fails.
TEST(ExifFacts, APipeThatTookAListedPhotosNameIsNotWaitedOn)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("IMG_0001.JPG");
    ASSERT_TRUE(ImageFixtures::writeFile(
        path, ImageFixtures::withExif(ImageFixtures::jpeg(16, 16), "2021:03:05 10:20:30", "", "", 6)));
    const FolderPhotoAsset listed(dir.path(), path);
    const FolderPhotoAsset dated(dir.path(), path);
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);

    std::future<ExifFacts> facts = std::async(std::launch::async, [&] { return ExifFacts::read(path); });
    std::future<bool> read = std::async(std::launch::async, [&] {
        QByteArray bytes;
        return listed.readAll(&bytes);
    });
    std::future<QDateTime> date = std::async(std::launch::async, [&] { return dated.date(); });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    const bool ended = facts.wait_until(deadline) == std::future_status::ready
        && read.wait_until(deadline) == std::future_status::ready
        && date.wait_until(deadline) == std::future_status::ready;
    EXPECT_TRUE(ended) << "a read waits on the pipe";
    // Whatever waits there is let go: a writer comes and leaves at once.
    while (facts.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready
           || read.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready
           || date.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) {
        const int writer = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0)
            ::close(writer);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_FALSE(facts.get().date);
    EXPECT_FALSE(read.get());
    EXPECT_EQ(date.get(), dated.modificationTime());
    // Nor is the pipe named to a reader that opens a path itself (a video's).
    const LibraryFile file(path);
    EXPECT_FALSE(file.isOpen());
    EXPECT_TRUE(file.readerPath().isEmpty());
}
