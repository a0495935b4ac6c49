#include "support/EventLoop.h"
#include "support/VideoFixtures.h"

#include <QMediaPlayer>
#include <QTemporaryDir>
#include <QUrl>
#include <QVideoFrame>
#include <QVideoSink>

#include <gtest/gtest.h>

// The player of the device album's videos stands on the media backend that
// install-deps.sh installs. Without its elements the backend's player cannot
// even be made (the process dies in its constructor), so this plays a real
// H.264 file, the format the device library offers, to its first pictures.
TEST(MediaBackend, PlaysAnH264FileToItsFirstPictures)
{
    QTemporaryDir dir;
    const QString clip = dir.filePath("clip.mp4");
    if (!VideoFixtures::makeVideo(clip, {}, "libx264"))
        GTEST_SKIP() << "ffmpeg with an H.264 encoder is missing";

    QMediaPlayer player;
    QVideoSink sink;
    player.setVideoSink(&sink);
    QString error;
    QObject::connect(&player, &QMediaPlayer::errorOccurred,
                     [&](QMediaPlayer::Error, const QString& text) { error = text; });
    int pictures = 0;
    QSize size;
    QObject::connect(&sink, &QVideoSink::videoFrameChanged, [&](const QVideoFrame& frame) {
        if (frame.isValid()) {
            ++pictures;
            size = frame.size();
        }
    });
    player.setSource(QUrl::fromLocalFile(clip));
    player.play();

    ASSERT_TRUE(waitUntil([&] { return pictures >= 2 || !error.isEmpty(); }, 20000)) << "no picture came";
    EXPECT_EQ(error, QString());
    EXPECT_EQ(size, QSize(64, 48));
    EXPECT_GT(player.duration(), 1500);
    player.stop();
}
