#include "albums/container/PavAlbumContainerController_iPad.h"
#include "albums/container/PavAlbumSelectionViewItem.h"
#include "albums/container/PavAlbumSelectionView_iPad.h"
#include "albums/widgets/PavAlbumEmptyView_iPad.h"
#include "albums/widgets/PavDoubleSlider.h"
#include "albums/device/DeviceAlbumBar.h"
#include "albums/device/PavSystemAlbumViewController_iPad.h"
#include "albums/widgets/ImageLoadPool.h"
#include "albums/widgets/PavAlbumTableHeaderView_iPad.h"
#include "albums/widgets/PavSystemAssetView_iPad.h"
#include "platform/photolib/KyAssetsLibrary.h"
#include "platform/photolib/FolderAssetsLibrary.h"
#include "platform/ui/Animations.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/ImageButton.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Images.h"
#include "support/EventLoop.h"
#include "support/FakeClock.h"
#include "support/ImageFixtures.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray scene(int i)
{
    QImage img(480, 360, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient sky(0, 0, 0, 360);
    sky.setColorAt(0, QColor::fromHsv((i * 47) % 360, 120, 240));
    sky.setColorAt(1, QColor::fromHsv((i * 47 + 60) % 360, 200, 120));
    p.fillRect(img.rect(), sky);
    p.setBrush(QColor::fromHsv((i * 91) % 360, 220, 250));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPoint(120 + (i * 37) % 240, 150), 70, 70);
    p.setBrush(QColor(40, 60, 40));
    p.drawRect(0, 280, 480, 80);
    p.end();
    return ImageFixtures::encode(img, "jpeg", 85);
}

// Sixteen photos over today, yesterday and an earlier day, with EXIF dates.
void makeLibrary(const QString& root)
{
    const char* days[] = {"2024:06:15", "2024:06:14", "2024:05:02"};
    const int counts[] = {7, 3, 6};
    int n = 0;
    for (int d = 0; d < 3; ++d) {
        for (int k = 0; k < counts[d]; ++k, ++n) {
            const QString when = QString("%1 %2:00:00").arg(days[d]).arg(8 + k, 2, 10, QChar('0'));
            ImageFixtures::writeFile(QString("%1/IMG_%2.JPG").arg(root).arg(n, 4, 10, QChar('0')),
                                     ImageFixtures::withExif(scene(n), when.toLatin1(), "", "", 1));
        }
    }
}

class DeviceAlbumScreenshot : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui::Animations::setEnabled(false);
        makeLibrary(dir.filePath("Pictures"));
        lib = std::make_shared<FolderAssetsLibrary>(dir.filePath("Pictures"), home.caches());
        KyAssetsLibrary::shareAssetsLibrary().setLibrary(lib);
    }
    void TearDown() override
    {
        ImageLoadPool::shared().waitForDone();
        spinEvents(20);
        KyAssetsLibrary::shareAssetsLibrary().setLibrary(nullptr);
        ui::Animations::setEnabled(true);
    }

    // The device album screen over the generated library, shown in host.
    PavSystemAlbumViewController_iPad* showScreen(QWidget& host)
    {
        PavSystemAlbumViewController_iPad::Collaborators c;
        c.reader = &reader;
        c.clock = &clock;
        c.zone = QTimeZone::utc();
        c.usage = [](int) {};
        c.center = &center;
        c.setCancelFlags = [](bool) {};
        auto* screen = new PavSystemAlbumViewController_iPad(0, c, &host);
        screen->setGeometry(host.rect());
        screen->loadViewIfNeeded();
        host.show();
        screen->beginAppearanceTransition(true, false);
        screen->endAppearanceTransition();
        return screen;
    }

    TempHome home;
    QTemporaryDir dir;
    std::shared_ptr<FolderAssetsLibrary> lib;
    PavAssetsManager reader{[this] { return lib; }};
    FakeClock clock{QDateTime(QDate(2024, 6, 15), QTime(18, 0), Qt::UTC)};
    NotificationCenter center;
};

}

TEST_F(DeviceAlbumScreenshot, NormalAndEditModeOnAGeneratedLibrary)
{
    QWidget host;
    host.resize(615, 748);
    auto* background = new ui::ImageView(QStringLiteral("PavAlbum_Background_iPad.png"), &host);
    background->setBackgroundColor(QColor(236, 238, 241));
    background->setGeometry(host.rect());
    auto* screen = showScreen(host);
    ASSERT_TRUE(waitUntil([&] {
        reader.drain();
        return !screen->isUpdating() && !screen->assetsArray().isEmpty();
    }, 15000));
    ImageLoadPool::shared().waitForDone();
    spinEvents(100);
    EXPECT_EQ(screen->assetsArray().size(), 16);
    EXPECT_EQ(screen->sortedDateKeys().size(), 3);

    const QString out = QString(PAV_TEST_OUTPUT_DIR);
    QDir().mkpath(out);
    const QImage normal = host.grab().toImage();
    ASSERT_TRUE(normal.save(out + "/device_album_normal.png"));

    screen->editButtonClicked(EditBar::Entry::Lock);
    auto tiles = screen->assetsTableView()->findChildren<PavSystemAssetView_iPad*>();
    ASSERT_GE(tiles.size(), 3);
    for (auto* t : tiles) {
        if (t->asset()->date().date() == QDate(2024, 6, 14))
            t->click();
    }
    spinEvents(50);
    EXPECT_EQ(screen->selectedAssets().size(), 3);
    const QImage edit = host.grab().toImage();
    ASSERT_TRUE(edit.save(out + "/device_album_edit.png"));
    EXPECT_NE(normal, edit);

    delete screen;
}

// The album tab shows the device album; its icon is the newest photo of a
// photo listing and the default one while videos or no photos are shown.
TEST_F(DeviceAlbumScreenshot, TheAlbumTabShowsTheDeviceAlbumAndItsIconFollowsTheListing)
{
    PavAlbumContainerController_iPad::Collaborators c;
    c.usage = [](int) {};
    ui::Canvas canvas;
    auto* container = new PavAlbumContainerController_iPad(c);
    canvas.setRootScreen(container);
    canvas.show();
    auto* album = qobject_cast<PavSystemAlbumViewController_iPad*>(container->systemAlbumViewController());
    ASSERT_NE(album, nullptr);
    ui::ImageButton* icon = container->albumSelectionView()->systemAlbumItem()->albumButton();
    auto settle = [&] {
        return waitUntil([&] {
            PavAssetsManager::sharePavALAssetsManager().drain();
            ImageLoadPool::shared().waitForDone();
            return !album->isUpdating();
        }, 15000);
    };
    auto showKind = [&](int kind) {
        album->bar()->doubleSlider()->setSliderType(kind, false);
        album->valueChangedInSlider(album->bar()->doubleSlider());
        return settle();
    };
    ASSERT_TRUE(settle());
    EXPECT_EQ(album->assetsArray().size(), 16);
    EXPECT_FALSE(album->bar()->isHidden());
    ASSERT_TRUE(waitUntil([&] { return icon->currentImage().size() == QSize(150, 150); }));
    EXPECT_TRUE(canvas.grab().save(QString(PAV_TEST_OUTPUT_DIR) + "/device_album_in_container.png"));
    const qint64 photoIcon = icon->currentImage().cacheKey();

    // A video listing has no newest photo: the default icon comes back.
    ASSERT_TRUE(showKind(1));
    spinEvents(100);
    EXPECT_EQ(album->loadedKind(), 1);
    EXPECT_NE(icon->currentImage().cacheKey(), photoIcon);
    EXPECT_NE(icon->currentImage().size(), QSize(150, 150));

    // Back on photos, the newest photo is the icon again.
    ASSERT_TRUE(showKind(0));
    ASSERT_TRUE(waitUntil([&] { return icon->currentImage().size() == QSize(150, 150); }));

    // A photo listing without photos restores the default icon.
    for (const QString& f : QDir(dir.filePath("Pictures")).entryList(QDir::Files))
        QFile::remove(dir.filePath("Pictures/" + f));
    album->getAssetsData();
    ASSERT_TRUE(settle());
    ASSERT_TRUE(waitUntil([&] { return icon->currentImage().size() != QSize(150, 150); }));
    EXPECT_TRUE(album->assetsArray().isEmpty());
    EXPECT_FALSE(album->emptyView()->isHidden());
}

// A file in the library that does not decode keeps its tile, marked as failed
// rather than left blank; the photos beside it show their pictures.
TEST_F(DeviceAlbumScreenshot, AFileThatDoesNotDecodeShowsTheFailedPlaceholder)
{
    QFile broken(dir.filePath("Pictures/IMG_9000.JPG"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("garbage, not a picture");
    broken.close();

    QWidget host;
    host.resize(615, 748);
    auto* screen = showScreen(host);
    ASSERT_TRUE(waitUntil([&] {
        reader.drain();
        return !screen->isUpdating() && screen->assetsArray().size() == 17;
    }, 15000));
    ImageLoadPool::shared().waitForDone();
    spinEvents(100);

    const QImage failed = ui::Images::named("PavAlbum_LoadPhotoFailed_iPad.png").toImage();
    ASSERT_FALSE(failed.isNull());
    int failedTiles = 0;
    int pictureTiles = 0;
    for (auto* tile : screen->assetsTableView()->findChildren<PavSystemAssetView_iPad*>()) {
        const QImage shown = tile->thumbnailView()->image().toImage();
        ASSERT_FALSE(shown.isNull()) << tile->asset()->url().toStdString();
        ++(shown == failed ? failedTiles : pictureTiles);
    }
    EXPECT_EQ(failedTiles, 1);
    EXPECT_GE(pictureTiles, 4);
    EXPECT_TRUE(host.grab().save(QString(PAV_TEST_OUTPUT_DIR) + "/device_album_undecodable.png"));
    delete screen;
}

// A library folder that is missing shows the refused view, whose words speak
// of refused access; the log names the folder and what is wrong,
// once for repeated loads.
TEST_F(DeviceAlbumScreenshot, AMissingLibraryFolderIsNamedInTheLog)
{
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&,
                                                                const QString& text) {
        if (type == QtWarningMsg)
            warnings << text;
    });
    const QString missing = dir.filePath("NoPictures");
    lib = std::make_shared<FolderAssetsLibrary>(missing, home.caches());
    KyAssetsLibrary::shareAssetsLibrary().setLibrary(lib);

    QWidget host;
    host.resize(615, 748);
    auto* screen = showScreen(host);
    ASSERT_TRUE(waitUntil([&] {
        reader.drain();
        return !screen->isUpdating() && !screen->locationDisabledView()->isHidden();
    }, 15000));
    screen->getAssetsData();
    ASSERT_TRUE(waitUntil([&] {
        reader.drain();
        return !screen->isUpdating();
    }, 15000));
    qInstallMessageHandler(previous);

    EXPECT_TRUE(screen->assetsArray().isEmpty());
    const QStringList named = warnings.filter("device album: the photo library cannot be listed");
    ASSERT_EQ(named.size(), 1) << warnings.join('\n').toStdString();
    EXPECT_TRUE(named[0].contains(missing + " does not exist")) << named[0].toStdString();
    delete screen;
}
