#include "albums/browser/PavPhotoThumbnailListView_iPad.h"
#include "albums/browser/PavPhotoThumbnailView_iPad.h"
#include "albums/browser/PavSystemPhotoBrowserController_iPad.h"
#include "albums/browser/PavSystemPhotoScrollView.h"
#include "albums/device/PavSystemAlbumViewController_iPad.h"
#include "albums/store/PavAssetsManager.h"
#include "albums/store/PavPhotoManager.h"
#include "platform/photolib/KyAssetsLibrary.h"
#include "platform/photolib/FolderAssetsLibrary.h"
#include "platform/ui/Animations.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/Images.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/ShadowLabel.h"
#include "albums/widgets/ImageLoadPool.h"
#include "support/DeviceAlbumScreen.h"
#include "support/BrowserScreen.h"
#include "support/EventLoop.h"
#include "support/ImageFixtures.h"
#include "support/Screenshot.h"
#include "support/Tap.h"
#include "support/TempHome.h"

#include <QFileInfo>
#include <QLabel>
#include <QTest>
#include <QWindow>

#include <condition_variable>
#include <mutex>

#include <gtest/gtest.h>

namespace {

constexpr int kPhotos = 12;

// A library folder whose full-screen readings the test can hold back.
class HeldLibrary : public FolderAssetsLibrary {
public:
    using FolderAssetsLibrary::FolderAssetsLibrary;
    QImage fullScreenImage(const PhotoAsset& asset) override
    {
        {
            std::unique_lock lock(m_mutex);
            m_released.wait(lock, [this] { return !m_held; });
        }
        return FolderAssetsLibrary::fullScreenImage(asset);
    }
    void hold(bool held)
    {
        {
            std::lock_guard lock(m_mutex);
            m_held = held;
        }
        m_released.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_released;
    bool m_held = false;
};

// A device browser over a library folder of generated photos, presented
// full screen on a canvas.
class DeviceBrowserTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui::Animations::setEnabled(false);
        root = home.path("Pictures");
        for (int i = 0; i < kPhotos; ++i) {
            const QString name = QStringLiteral("%1/IMG_%2.jpg").arg(root).arg(i, 4, 10, QLatin1Char('0'));
            ASSERT_TRUE(ImageFixtures::writeFile(name, ImageFixtures::jpeg(1600, 1200, i)));
        }
        library = std::make_shared<HeldLibrary>(root, home.caches(), nullptr, 50);
        KyAssetsLibrary::shareAssetsLibrary().setLibrary(library);
        std::vector<AssetsGroup> groups;
        AssetsLibraryError error;
        ASSERT_TRUE(library->enumerateGroups(AssetsGroupSavedPhotos, &groups, &error));
        ASSERT_EQ(groups.size(), 1u);
        for (const PhotoAssetPtr& asset : groups.front().assets) {
            auto photo = std::make_shared<ALAsset>(asset);
            photo->setType(ALAsset::ALAssetTypePhoto);
            photos.append(photo);
        }
        ASSERT_EQ(photos.size(), kPhotos);
        store = std::make_unique<PavPhotoManager>(home.documents() + "/photo", library);

        canvas.setRootScreen(rootScreen = new ui::Screen);
        canvas.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&canvas));
    }
    void TearDown() override
    {
        library->hold(false);
        KyAssetsLibrary::shareAssetsLibrary().setLibrary(nullptr);
        ui::Animations::setEnabled(true);
    }

    void open(int index)
    {
        browser = new PavSystemPhotoBrowserController_iPad(library, store.get());
        browser->setPhotoArray(photos);
        browser->setAsset(photos[index]);
        rootScreen->presentFullScreen(browser, false);
        ASSERT_TRUE(browser->isOnScreen());
    }
    PavSystemPhotoScrollView* pager() const { return browser->photoScrollView(); }
    PavPhotoThumbnailListView_iPad* strip() const { return browser->thumbnailListView(); }
    QString title() const { return browser->titleLabel()->text(); }
    bool pictureShown(int photo) const
    {
        return pager()->selectedIndex() == photo && pager()->detailImageView() != nullptr;
    }
    // A finger swipe across the photo: right to left shows the next one.
    void swipe(bool toNext)
    {
        QWindow* window = canvas.windowHandle();
        const int from = toNext ? 800 : 200;
        const int to = toNext ? 200 : 800;
        QTest::mousePress(window, Qt::LeftButton, {}, QPoint(from, 400));
        for (int x = from; toNext ? x >= to : x <= to; x += toNext ? -60 : 60)
            QTest::mouseMove(window, QPoint(x, 400));
        QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(to, 400));
    }

    TempHome home;
    QString root;
    std::shared_ptr<HeldLibrary> library;
    std::unique_ptr<PavPhotoManager> store;
    QList<ALAssetPtr> photos;
    ui::Canvas canvas;
    ui::Screen* rootScreen = nullptr;
    QPointer<PavSystemPhotoBrowserController_iPad> browser;
};

}

TEST_F(DeviceBrowserTest, OpensOnTheTappedPhotoAndPagesBothWays)
{
    open(2);
    EXPECT_EQ(title(), QStringLiteral("第3张（共12张）"));
    EXPECT_EQ(strip()->selectedIndex(), 2);
    EXPECT_EQ(pager()->selectedIndex(), 2);
    EXPECT_FALSE(browser->isFullScreen());
    ASSERT_TRUE(waitUntil([&] { return pictureShown(2); }));
    // The full-screen picture is scaled on decoding, and zooms to its own size.
    EXPECT_DOUBLE_EQ(pager()->detailScrollView()->maximumZoomScale(), 1600.0 / 1024);

    swipe(true);
    EXPECT_EQ(title(), QStringLiteral("第4张（共12张）"));
    EXPECT_TRUE(browser->isFullScreen());  // a swipe hides the bars
    EXPECT_FALSE(browser->topView()->isVisible());
    EXPECT_EQ(strip()->selectedIndex(), 3);  // with the bars hidden the strip follows
    EXPECT_EQ(browser->asset(), photos[3]);
    ASSERT_TRUE(waitUntil([&] { return pictureShown(3); }));
    EXPECT_TRUE(pager()->containerScrollView()->isUserInteractionEnabled());

    swipe(false);
    ASSERT_TRUE(waitUntil([&] { return pictureShown(2); }));
    EXPECT_EQ(title(), QStringLiteral("第3张（共12张）"));
    EXPECT_EQ(strip()->selectedIndex(), 2);

    // A title too long for the bar is shortened in the middle.
    auto* label = qobject_cast<ui::ShadowLabel*>(browser->titleLabel());
    ASSERT_NE(label, nullptr);
    label->setText(QString(200, QLatin1Char('a')) + QStringLiteral("END"));
    EXPECT_TRUE(label->shownText().endsWith(QStringLiteral("END")));
    EXPECT_TRUE(label->shownText().contains(QChar(0x2026)));

    open(kPhotos - 1);  // from the last photo, one back
    ASSERT_TRUE(waitUntil([&] { return pictureShown(kPhotos - 1); }));
    swipe(false);
    EXPECT_EQ(title(), QStringLiteral("第11张（共12张）"));
    EXPECT_EQ(strip()->selectedIndex(), kPhotos - 2);
}

TEST_F(DeviceBrowserTest, ArrowKeysPageAsASwipeDoesAndEscapeGoesBack)
{
    open(0);
    ASSERT_TRUE(waitUntil([&] { return pictureShown(0); }));
    canvas.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&canvas));
    QWindow* window = canvas.windowHandle();
    QTest::keyClick(window, Qt::Key_Left);  // nothing before the first photo
    EXPECT_EQ(pager()->selectedIndex(), 0);
    EXPECT_FALSE(browser->isFullScreen());

    library->hold(true);
    QTest::keyClick(window, Qt::Key_Right);
    EXPECT_EQ(title(), QStringLiteral("第2张（共12张）"));
    EXPECT_TRUE(browser->isFullScreen());  // as a swipe, it hides the bars
    EXPECT_EQ(strip()->selectedIndex(), 1);
    QTest::keyClick(window, Qt::Key_Right);  // refused until the picture is in
    EXPECT_EQ(pager()->selectedIndex(), 1);
    library->hold(false);
    ASSERT_TRUE(waitUntil([&] { return pictureShown(1) && pager()->containerScrollView()->isUserInteractionEnabled(); }));
    QTest::keyClick(window, Qt::Key_Right);
    ASSERT_TRUE(waitUntil([&] { return pictureShown(2) && pager()->containerScrollView()->isUserInteractionEnabled(); }));
    QTest::keyClick(window, Qt::Key_Left);
    ASSERT_TRUE(waitUntil([&] { return pictureShown(1); }));
    EXPECT_EQ(title(), QStringLiteral("第2张（共12张）"));

    QTest::keyClick(window, Qt::Key_Escape);
    ASSERT_TRUE(waitUntil([&] { return browser.isNull(); }));
    EXPECT_EQ(rootScreen->presentedScreen(), nullptr);
}

TEST_F(DeviceBrowserTest, AThumbnailTapWithTheBarsShownRebuildsThePagerOnIt)
{
    open(0);
    ASSERT_TRUE(waitUntil([&] { return pictureShown(0); }));
    PavPhotoThumbnailView_iPad* tile = strip()->tileAt(6);
    ASSERT_NE(tile, nullptr);
    tapAt(tile, QPoint(60, 60));
    EXPECT_EQ(strip()->selectedIndex(), 6);
    EXPECT_EQ(pager()->selectedIndex(), 6);
    EXPECT_EQ(title(), QStringLiteral("第7张（共12张）"));
    EXPECT_EQ(browser->asset(), photos[6]);
    ASSERT_TRUE(waitUntil([&] { return pictureShown(6); }));

    // In full screen the strip is hidden; a pick changes only the photo to open on.
    browser->singleClicked();
    ASSERT_TRUE(browser->isFullScreen());
    strip()->touchButtonClicked(9);
    EXPECT_EQ(pager()->selectedIndex(), 6);
}

TEST_F(DeviceBrowserTest, APhotoAlreadyInThePrivateAlbumShowsTheTip)
{
    ASSERT_TRUE(store->encryptAsset(*photos[4]->asset()));
    // Photo 6's row is lost and rebuilt from its item files, without a URL.
    ASSERT_TRUE(store->encryptAsset(*photos[6]->asset()));
    const PavPhotoModelList sixth = store->encryptAlbumOp()->recordsWithURL(photos[6]->asset()->url());
    ASSERT_EQ(sixth.size(), 1);
    ASSERT_TRUE(store->deleteRecord(*sixth.first()));
    store->healIndex();
    ASSERT_TRUE(store->encryptAlbumOp()->recordsWithURL(photos[6]->asset()->url()).isEmpty());
    ASSERT_EQ(store->photoes().size(), 2);
    open(4);
    EXPECT_TRUE(browser->encryptedTipsView()->isVisible());
    EXPECT_EQ(photos[4]->isEncrypted(), std::optional<bool>(true));
    ASSERT_TRUE(waitUntil([&] { return pictureShown(4); }));

    swipe(true);
    EXPECT_FALSE(browser->encryptedTipsView()->isVisibleTo(browser->topBar()));
    EXPECT_EQ(photos[5]->isEncrypted(), std::optional<bool>(false));

    // Stored means stored: a row whose private copy is gone never tells the
    // user to delete the original.
    const PavPhotoModelPtr row = store->encryptAlbumOp()->recordsWithURL(photos[4]->asset()->url()).first();
    ASSERT_TRUE(QFile::remove(store->getPhotoFullPath(*row)));
    ASSERT_TRUE(waitUntil([&] { return pictureShown(5); }));
    swipe(false);
    ASSERT_TRUE(waitUntil([&] { return pictureShown(4); }));
    EXPECT_FALSE(browser->encryptedTipsView()->isVisibleTo(browser->topBar()));
    EXPECT_EQ(photos[4]->isEncrypted(), std::optional<bool>(false));

    // The rebuilt row holds photo 6's very bytes: it is stored.
    swipe(true);
    ASSERT_TRUE(waitUntil([&] { return pictureShown(5); }));
    swipe(true);
    ASSERT_TRUE(waitUntil([&] { return pictureShown(6); }));
    EXPECT_TRUE(browser->encryptedTipsView()->isVisibleTo(browser->topBar()));
    EXPECT_EQ(photos[6]->isEncrypted(), std::optional<bool>(true));
}

TEST_F(DeviceBrowserTest, AFileThatDoesNotDecodeShowsTheFailurePictureOnItsPageAndInTheStrip)
{
    // Photo 3 is garbage from the start: listed again as it is now, once the
    // library has announced the change (which closes an open browser).
    ASSERT_TRUE(ImageFixtures::writeFile(root + "/IMG_0003.jpg", "not a picture at all"));
    spinEvents(1000);
    std::vector<AssetsGroup> groups;
    AssetsLibraryError error;
    ASSERT_TRUE(library->enumerateGroups(AssetsGroupSavedPhotos, &groups, &error));
    photos.clear();
    int bad = -1;
    for (const PhotoAssetPtr& asset : groups.front().assets) {
        auto photo = std::make_shared<ALAsset>(asset);
        photo->setType(ALAsset::ALAssetTypePhoto);
        if (asset->filePath().endsWith("IMG_0003.jpg"))
            bad = int(photos.size());
        photos.append(photo);
    }
    ASSERT_EQ(photos.size(), kPhotos);
    ASSERT_GE(bad, 0);
    open(bad);
    ASSERT_TRUE(waitUntil([&] { return pictureShown(bad); }));
    // A black page with the failure picture in its middle, not zoomable.
    const QImage page = pager()->detailImageView()->grab().toImage();
    EXPECT_EQ(QColor(page.pixel(5, 5)), QColor(Qt::black));
    bool marked = false;
    for (int dx = -60; dx <= 60 && !marked; dx += 4)
        marked = QColor(page.pixel(page.width() / 2 + dx, page.height() / 2)) != QColor(Qt::black);
    EXPECT_TRUE(marked);
    EXPECT_DOUBLE_EQ(pager()->detailScrollView()->maximumZoomScale(), 1.0);
    // Its strip tile says so too, instead of loading for ever, and paging goes on.
    const QImage failed = ui::Images::named(QStringLiteral("PavAlbum_BrowerLoadPhotoFailed_iPad.png")).toImage();
    ASSERT_TRUE(waitUntil([&] {
        PavPhotoThumbnailView_iPad* tile = strip()->tileAt(bad);
        return tile && tile->imageView()->image().toImage() == failed;
    }));
    const bool toNext = bad + 1 < kPhotos;
    swipe(toNext);
    ASSERT_TRUE(waitUntil([&] { return browser && pictureShown(toNext ? bad + 1 : bad - 1); }));
    EXPECT_GT(pager()->detailScrollView()->maximumZoomScale(), 1.0);
}

TEST_F(DeviceBrowserTest, ASingleTapTogglesTheBarsAndADoubleTapZooms)
{
    open(1);
    ASSERT_TRUE(waitUntil([&] { return pictureShown(1); }));
    tapAt(&canvas, QPoint(500, 400));
    ASSERT_TRUE(waitUntil([&] { return browser->isFullScreen(); }));
    EXPECT_FALSE(browser->bottomView()->isVisible());
    tapAt(&canvas, QPoint(500, 400));
    ASSERT_TRUE(waitUntil([&] { return !browser->isFullScreen(); }));

    QTest::mouseDClick(canvas.windowHandle(), Qt::LeftButton, {}, QPoint(500, 400));
    auto* detail = pager()->detailScrollView();
    ASSERT_TRUE(waitUntil([&] { return detail->zoomScale() > 1.0; }));
    spinEvents(QApplication::doubleClickInterval() + 100);
    EXPECT_FALSE(browser->isFullScreen());  // the double tap did not toggle the bars
}

TEST_F(DeviceBrowserTest, ALibraryChangeClosesTheBrowser)
{
    open(3);
    ASSERT_TRUE(waitUntil([&] { return pictureShown(3); }));
    ASSERT_TRUE(ImageFixtures::writeFile(root + "/new.jpg", ImageFixtures::jpeg(64, 64, 99)));
    ASSERT_TRUE(waitUntil([&] { return browser.isNull(); }));
    EXPECT_EQ(rootScreen->presentedScreen(), nullptr);
}

TEST_F(DeviceBrowserTest, Screenshot)
{
    ASSERT_TRUE(store->encryptAsset(*photos[2]->asset()));
    open(2);
    ASSERT_TRUE(waitUntil([&] { return pictureShown(2) && tilesHaveThumbnails(strip(), 9); }));
    EXPECT_FALSE(saveScreenshot(&canvas, "device_browser.png").isEmpty());
    EXPECT_TRUE(showsPhotoWithBars(&canvas, browser, ImageFixtures::pattern(1600, 1200, 2)))
        << "listed third: " << photos[2]->asset()->filePath().toStdString();
}

TEST_F(DeviceBrowserTest, TheDeviceAlbumOpensATappedPhotoInTheBrowser)
{
    PavAssetsManager reader([this] { return std::static_pointer_cast<AssetsLibrary>(library); });
    auto* album = newDeviceAlbumScreen(&reader);
    canvas.setRootScreen(album);
    ASSERT_TRUE(waitUntil([&] {
        reader.drain();
        return !album->isUpdating() && album->photoAssetsArray().size() == kPhotos;
    }));
    const ALAssetPtr tapped = album->photoAssetsArray().at(5);
    album->systemAssetViewDidSelect(tapped);
    ASSERT_TRUE(waitUntil([&] { return album->presentedScreen() != nullptr; }));
    auto* opened = qobject_cast<PavSystemPhotoBrowserController_iPad*>(album->presentedScreen());
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->asset(), tapped);
    EXPECT_EQ(opened->photoArray(), album->photoAssetsArray());
    EXPECT_EQ(opened->titleLabel()->text(), QStringLiteral("第6张（共12张）"));
    opened->backButtonClicked();
    ASSERT_TRUE(waitUntil([&] { return album->presentedScreen() == nullptr; }));
    ImageLoadPool::shared().waitForDone();
    spinEvents(20);
}
