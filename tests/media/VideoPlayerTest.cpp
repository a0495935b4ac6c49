#include "albums/device/PavSystemAlbumViewController_iPad.h"
#include "albums/store/ALAsset.h"
#include "albums/store/PavAssetsManager.h"
#include "albums/widgets/ImageLoadPool.h"
#include "platform/photolib/KyAssetsLibrary.h"
#include "platform/media/MediaBackend.h"
#include "platform/media/PlayerSound.h"
#include "platform/media/VideoFrameView.h"
#include "platform/media/VideoPlayerScreen.h"
#include "platform/photolib/FolderAssetsLibrary.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Animations.h"
#include "platform/ui/Canvas.h"
#include "support/DeviceAlbumScreen.h"
#include "support/EventLoop.h"
#include "support/ImageFixtures.h"
#include "support/TempHome.h"
#include "support/VideoFixtures.h"

#include <QFile>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// The player on the real multimedia backend, presented on a canvas.
class VideoPlayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui::Animations::setEnabled(false);
        canvas.setRootScreen(rootScreen = new ui::Screen);
        canvas.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&canvas));
    }
    void TearDown() override
    {
        if (ui::Alert* alert = ui::Alert::showingAlertWithTag(0))
            alert->clickButtonAtIndex(0);
        spinEvents(0);
        ui::Animations::setEnabled(true);
    }
    // H.264 with AAC sound, as a camera makes them.
    QString h264(const QString& name)
    {
        const QString path = home.path(name);
        return VideoFixtures::makeVideo(path, {}, QStringLiteral("libx264"), true) ? path : QString();
    }
    // Whether Qt's FFmpeg multimedia plugin is loaded into this process.
    static bool ffmpegPluginLoaded()
    {
        QFile maps(QStringLiteral("/proc/self/maps"));
        return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libffmpegmediaplugin");
    }
    static bool playing(ui::Screen* screen)
    {
        auto* player = qobject_cast<VideoPlayerScreen*>(screen);
        return player && player->player() && player->player()->playbackState() == QMediaPlayer::PlayingState &&
               player->player()->error() == QMediaPlayer::NoError &&
               (player->player()->mediaStatus() == QMediaPlayer::LoadedMedia ||
                player->player()->mediaStatus() == QMediaPlayer::BufferedMedia);
    }
    static QString alertMessage()
    {
        ui::Alert* alert = ui::Alert::showingAlertWithTag(0);
        return alert ? alert->message() : QString();
    }

    TempHome home;
    ui::Canvas canvas;
    ui::Screen* rootScreen = nullptr;
};

}

TEST_F(VideoPlayerTest, PlaysH264WithSoundInMp4AndMovToTheEndWithNoSoundDevice)
{
    // No sound server to reach: the machine has no output device (the
    // environment is read when the first device query connects).
    qputenv("PULSE_SERVER", QByteArray("unix:") + home.path("no-sound-server").toUtf8());
    MediaBackend::select();
    ASSERT_TRUE(QMediaDevices::audioOutputs().isEmpty());
    for (const char* name : {"clip.mp4", "clip.mov"}) {
        SCOPED_TRACE(name);
        const QString file = h264(name);
        ASSERT_FALSE(file.isEmpty());
        ASSERT_TRUE(MediaBackend::canPlay(file));
        ui::Screen* screen = VideoPlayerScreen::create(QUrl::fromLocalFile(file));
        ASSERT_NE(screen, nullptr);
        QPointer<ui::Screen> guard(screen);
        rootScreen->presentFullScreen(screen, false);
        auto* player = qobject_cast<VideoPlayerScreen*>(screen);
        ASSERT_TRUE(waitUntil([&] { return guard && playing(guard); }, 10000));
        ASSERT_TRUE(ffmpegPluginLoaded());
        EXPECT_TRUE(player->player()->hasAudio());
        EXPECT_EQ(player->player()->audioOutput(), nullptr) << "sound goes nowhere";
        EXPECT_EQ(alertMessage(), QString());
        qint64 reached = 0;
        QObject::connect(player->player(), &QMediaPlayer::positionChanged, [&](qint64 at) { reached = std::max(reached, at); });
        // Its frames are on the screen, beneath the "完成" button.
        ASSERT_TRUE(waitUntil([&] { return guard && !player->frameView()->frame().isNull(); }, 10000));
        const QImage shown = canvas.grab().toImage();
        EXPECT_NE(QColor(shown.pixel(512, 200)), QColor(Qt::black));
        auto* done = player->findChild<QPushButton*>();
        ASSERT_NE(done, nullptr);
        EXPECT_EQ(done->text(), QStringLiteral("完成"));
        EXPECT_TRUE(done->isVisible());
        // It plays to its end, silently, and the player closes itself.
        ASSERT_TRUE(waitUntil([&] { return guard.isNull() || rootScreen->presentedScreen() == nullptr; }, 15000));
        EXPECT_GE(reached, 1500);
        EXPECT_EQ(alertMessage(), QString());
    }
}

TEST_F(VideoPlayerTest, WhatTheBackendCannotPlayOpensNoPlayerButAnAlert)
{
    const QString file = h264("clip.mp4");
    ASSERT_FALSE(file.isEmpty());
    // Without the backend's plugin nothing can play, whatever the file.
    EXPECT_FALSE(MediaBackend::canPlay(file, {}));
    EXPECT_FALSE(MediaBackend::canPlay(file, {home.path("no-plugins")}));

    const QString fake = home.path("fake.mov");
    ASSERT_TRUE(ImageFixtures::writeFile(fake, "not really a movie"));
    EXPECT_EQ(VideoPlayerScreen::create(QUrl::fromLocalFile(fake)), nullptr);
    ASSERT_TRUE(waitUntil([&] { return !alertMessage().isEmpty(); }));
    EXPECT_EQ(alertMessage(), QStringLiteral("无法播放该视频"));
    EXPECT_EQ(rootScreen->presentedScreen(), nullptr);
}

TEST_F(VideoPlayerTest, AFileDamagedPastItsHeaderEndsInTheAlertNotASilentBlackScreen)
{
    qputenv("PULSE_SERVER", QByteArray("unix:") + home.path("no-sound-server").toUtf8());
    MediaBackend::select();
    // The container's header stays, all from `from` on is noise: the file
    // passes the check before opening (a first frame may survive) and fails
    // only once the backend plays it.
    int opened = 0;
    for (quint32 from : {700u, 1000u, 1500u}) {
        SCOPED_TRACE(from);
        const QString file = home.path(QStringLiteral("damaged%1.mkv").arg(from));
        ASSERT_TRUE(VideoFixtures::makeVideo(file));
        QFile damaged(file);
        ASSERT_TRUE(damaged.open(QIODevice::ReadWrite));
        QByteArray noise(damaged.size() - from, Qt::Uninitialized);
        QRandomGenerator random(from);
        for (char& byte : noise)
            byte = static_cast<char>(random.bounded(256));
        ASSERT_TRUE(damaged.seek(from));
        ASSERT_EQ(damaged.write(noise), noise.size());
        damaged.close();

        QPointer<ui::Screen> screen = VideoPlayerScreen::create(QUrl::fromLocalFile(file));
        if (screen) {
            ++opened;
            rootScreen->presentFullScreen(screen, false);
        }
        ASSERT_TRUE(waitUntil([&] { return !alertMessage().isEmpty(); }, 10000)) << "nothing told the user";
        EXPECT_EQ(alertMessage(), QStringLiteral("无法播放该视频"));
        ASSERT_TRUE(waitUntil([&] { return rootScreen->presentedScreen() == nullptr; }));
        // The application goes on: the alert is answered and nothing else waits.
        ui::Alert::showingAlertWithTag(0)->clickButtonAtIndex(0);
        spinEvents(20);
        EXPECT_EQ(alertMessage(), QString());
    }
    EXPECT_GT(opened, 0) << "no damaged file reached the player";
}

TEST_F(VideoPlayerTest, TheDeviceAlbumPlaysAVideoOfTheLibrary)
{
    const QString root = home.path("Pictures");
    ASSERT_TRUE(VideoFixtures::makeVideo(root + "/clip.mp4", {}, QStringLiteral("libx264")));
    auto library = std::make_shared<FolderAssetsLibrary>(root, home.caches(), nullptr, 50);
    KyAssetsLibrary::shareAssetsLibrary().setLibrary(library);
    std::vector<AssetsGroup> groups;
    AssetsLibraryError error;
    ASSERT_TRUE(library->enumerateGroups(AssetsGroupSavedPhotos, &groups, &error));
    ASSERT_EQ(groups.size(), 1u);
    ASSERT_EQ(groups.front().assets.size(), 1u);
    auto video = std::make_shared<ALAsset>(groups.front().assets.front());
    video->setType(ALAsset::ALAssetTypeVideo);

    PavAssetsManager reader([library] { return std::static_pointer_cast<AssetsLibrary>(library); });
    auto* album = newDeviceAlbumScreen(&reader);
    canvas.setRootScreen(album);
    album->systemAssetViewDidSelect(video);
    ASSERT_TRUE(waitUntil([&] { return playing(album->presentedScreen()); }, 10000));
    EXPECT_EQ(alertMessage(), QString());
    // Escape acts as "完成".
    canvas.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&canvas));
    QTest::keyClick(canvas.windowHandle(), Qt::Key_Escape);
    ASSERT_TRUE(waitUntil([&] { return album->presentedScreen() == nullptr; }));
    reader.drain();
    ImageLoadPool::shared().waitForDone();
    spinEvents(20);
    KyAssetsLibrary::shareAssetsLibrary().setLibrary(nullptr);
}

TEST(PlayerSound, TheOutputComesAndGoesWithTheDevices)
{
    MediaBackend::select();
    QMediaPlayer player;
    QList<QAudioDevice> devices;
    auto* sound = new PlayerSound(&player, [&] { return devices; });
    EXPECT_EQ(sound->output(), nullptr);
    EXPECT_EQ(player.audioOutput(), nullptr);

    devices = {QAudioDevice()};  // a device came
    sound->update();
    ASSERT_NE(sound->output(), nullptr);
    EXPECT_EQ(player.audioOutput(), sound->output());
    QAudioOutput* first = sound->output();
    sound->update();  // nothing changed: the same output stays
    EXPECT_EQ(player.audioOutput(), first);

    devices.clear();  // the last one went: the sound goes nowhere, the player stays
    sound->update();
    EXPECT_EQ(sound->output(), nullptr);
    EXPECT_EQ(player.audioOutput(), nullptr);
}
