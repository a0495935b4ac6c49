#include "Public/PavProgressView.h"
#include "albums/browser/PavCloudPhotoBrowserController_iPad.h"
#include "albums/browser/PavCloudPhotoLoadingView_iPad.h"
#include "albums/browser/PavCloudPhotoScrollView_iPad.h"
#include "albums/browser/PavCloudPhotoThumbnailListView_iPad.h"
#include "albums/browser/PavPhotoThumbnailView_iPad.h"
#include "albums/browser/PavSecretPhotoScrollView.h"
#include "disk/PavCloudAlbumManager.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Animations.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/ImageButton.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Images.h"
#include "platform/ui/ScrollView.h"
#include "support/BrowserScreen.h"
#include "support/EventLoop.h"
#include "support/FakePhotoLibrary.h"
#include "support/ImageFixtures.h"
#include "support/Screenshot.h"
#include "support/Swipe.h"
#include "support/TempDiskStore.h"
#include "support/TempHome.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <cmath>
#include <condition_variable>
#include <map>
#include <mutex>
#include <set>

namespace {

constexpr int kPhotos = 5;

// Holds the downloads of chosen files at their second chunk (the first
// one's progress has gone out) until released.
class ChunkGate {
public:
    void hold(const DiskFilePtr& file)
    {
        std::lock_guard lock(m_mutex);
        m_held.insert(file.get());
    }
    void release(const DiskFilePtr& file)
    {
        std::lock_guard lock(m_mutex);
        m_held.erase(file.get());
        m_cv.notify_all();
    }
    void releaseAll()
    {
        std::lock_guard lock(m_mutex);
        m_held.clear();
        m_cv.notify_all();
    }
    bool reached(const DiskFilePtr& file)
    {
        std::lock_guard lock(m_mutex);
        return m_reached.count(file.get()) > 0;
    }
    // How many transfers of the file wait at the gate now.
    int waiting(const DiskFilePtr& file)
    {
        std::lock_guard lock(m_mutex);
        return m_waiting[file.get()];
    }
    // Runs on the transfer threads.
    void passed(const DiskFilePtr& file, qint64 done)
    {
        if (done <= DiskManager::kChunkSize)
            return;
        std::unique_lock lock(m_mutex);
        m_reached.insert(file.get());
        ++m_waiting[file.get()];
        m_cv.wait(lock, [&] { return m_held.count(file.get()) == 0; });
        --m_waiting[file.get()];
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::set<const DiskFile*> m_held;
    std::set<const DiskFile*> m_reached;
    std::map<const DiskFile*, int> m_waiting;
};

// A cloud browser over a real local disk store holding a few photos, none
// of them downloaded yet.
class CloudBrowserTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui::Animations::setEnabled(false);
        disk.manager->setChunkObserver([this](const DiskFilePtr& file, qint64 done) { gate.passed(file, done); });
        dir = disk.signIn();
        ASSERT_TRUE(dir);
        for (int i = 0; i < kPhotos; ++i) {
            bytes.append(ImageFixtures::encode(ImageFixtures::pattern(1200, 900, i), "jpeg", 100));
            ASSERT_GT(bytes[i].size(), 2 * DiskManager::kChunkSize);
            ASSERT_TRUE(disk.uploadBytes(bytes[i], QStringLiteral("IMG_%1.JPG").arg(i), dir));
        }
        files = disk.filesIn(dir);
        ASSERT_EQ(files.size(), kPhotos);
        for (const DiskFilePtr& file : files) {
            QFile::remove(file->file_path());
            QFile::remove(file->file_path() + ".thumb");
        }
        std::sort(files.begin(), files.end(), [](auto& a, auto& b) { return a->file_name() < b->file_name(); });
        canvas.setRootScreen(rootScreen = new ui::Screen);
        canvas.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&canvas));
    }
    void TearDown() override
    {
        gate.releaseAll();
        PavProgressView::dismiss();
        ui::Animations::setEnabled(true);
    }

    void open(int index) { open(files, index); }
    void open(const QList<DiskFilePtr>& photos, int index)
    {
        browser = new PavCloudPhotoBrowserController_iPad(photos, index, disk.manager.get(), &album, library,
                                                          [this](int id) { events.append(id); });
        rootScreen->presentFullScreen(browser, false);
        ASSERT_TRUE(browser->isOnScreen());
    }
    // Uploads picture as a JPEG named name and opens the browser on it alone,
    // until it is shown.
    void openOnly(const QImage& picture, const QString& name)
    {
        const DiskFilePtr file = upload(ImageFixtures::encode(picture, "jpeg", 95), name);
        ASSERT_TRUE(file);
        open({file}, 0);
        ASSERT_TRUE(waitUntil([&] { return shown(0); }, 10000));
    }
    // A file of the album's folder that is no picture.
    DiskFilePtr uploadNoPicture() { return upload(QByteArray(3 * DiskManager::kChunkSize, 'x'), "BAD.JPG"); }
    // A file of the album's folder, not downloaded yet.
    DiskFilePtr upload(const QByteArray& content, const QString& name)
    {
        if (!disk.uploadBytes(content, name, dir))
            return nullptr;
        for (const DiskFilePtr& file : disk.filesIn(dir)) {
            if (file->file_name() == name) {
                QFile::remove(file->file_path());
                return file;
            }
        }
        return nullptr;
    }
    bool showsFailure() const
    {
        return pager()->loadingView()->isFailed() &&
               message() == QStringLiteral("你的图片裂开了，点击重新加载") &&
               pager()->loadingView()->statusImageView()->image().toImage() ==
                   ui::Images::named(QStringLiteral("PavAlbum_BrowerLoadPhotoFailed_iPad.png")).toImage();
    }
    PavCloudPhotoScrollView_iPad* pager() const { return browser->photoScrollView(); }
    QString message() const { return pager()->loadingView()->msgLabel()->text(); }
    bool shown(int index) const { return pager()->selectedIndex() == index && pager()->detailImageView(); }
    bool swipesTaken() const { return pager()->containerScrollView()->isUserInteractionEnabled(); }

    ChunkGate gate;  // outlives the facade whose threads wait on it
    TempHome home;
    TempDiskStore disk;
    std::shared_ptr<FakePhotoLibrary> library = std::make_shared<FakePhotoLibrary>();
    PavCloudAlbumManager album;
    DiskDirPtr dir;
    QList<QByteArray> bytes;
    QList<DiskFilePtr> files;
    QList<int> events;
    ui::Canvas canvas;
    ui::Screen* rootScreen = nullptr;
    QPointer<PavCloudPhotoBrowserController_iPad> browser;
};

}

TEST_F(CloudBrowserTest, TheShownPhotoDownloadsWithItsPercentageThenShows)
{
    gate.hold(files[1]);
    open(1);
    EXPECT_EQ(browser->titleLabel()->text(), QStringLiteral("IMG_1.JPG"));
    ASSERT_TRUE(waitUntil([&] { return message().endsWith(QStringLiteral("%）")); }));
    EXPECT_TRUE(message().startsWith(QStringLiteral("正在打开照片 请稍候...（")));
    EXPECT_FALSE(swipesTaken());
    EXPECT_FALSE(browser->saveButton()->isEnabled());
    EXPECT_FALSE(browser->deleteButton()->isEnabled());
    EXPECT_FALSE(saveScreenshot(&canvas, "cloud_browser_loading.png").isEmpty());

    gate.release(files[1]);
    ASSERT_TRUE(waitUntil([&] { return shown(1); }));
    EXPECT_EQ(message(), QStringLiteral("图片加载成功"));
    EXPECT_TRUE(swipesTaken());
    EXPECT_TRUE(browser->saveButton()->isEnabled());
    EXPECT_TRUE(browser->deleteButton()->isEnabled());
    EXPECT_EQ(ImageFixtures::readFile(files[1]->file_path()), bytes[1]);
    // Zoomable against the fixed 320 x 480 reference: 1200 / 320.
    EXPECT_DOUBLE_EQ(pager()->detailScrollView()->maximumZoomScale(), 3.75);

    swipeAcross(&canvas, true);
    EXPECT_EQ(browser->titleLabel()->text(), QStringLiteral("IMG_2.JPG"));
    EXPECT_FALSE(browser->saveButton()->isEnabled());
    EXPECT_EQ(browser->thumbnailListView()->selectedIndex(), 2);
    ASSERT_TRUE(waitUntil([&] { return shown(2); }));
}

TEST_F(CloudBrowserTest, AnswersOfAPhotoNoLongerShownAreDropped)
{
    gate.hold(files[0]);
    gate.hold(files[1]);
    open(0);
    ASSERT_TRUE(waitUntil([&] { return gate.reached(files[0]); }));
    // Swipes wait for the download; a pick in the strip moves on at once.
    EXPECT_FALSE(swipesTaken());
    browser->thumbnailListView()->touchButtonClicked(1);
    ASSERT_TRUE(waitUntil([&] { return gate.reached(files[1]); }));
    EXPECT_EQ(pager()->selectedIndex(), 1);
    EXPECT_EQ(pager()->downloadingPhoto(), files[1]);

    // The first download goes on to its end (a progress report, then its
    // stop); a third download queued behind it answers after all of that.
    gate.release(files[0]);
    RecordingDiskResponse later;
    disk.manager->requestDownloadFile(files[4], &later);
    ASSERT_TRUE(disk.waitForLog(later, 1));
    spinEvents(0);
    EXPECT_FALSE(pager()->loadingView()->isFailed());
    EXPECT_FALSE(swipesTaken());
    EXPECT_FALSE(browser->deleteButton()->isEnabled());

    gate.release(files[1]);
    ASSERT_TRUE(waitUntil([&] { return shown(1); }));
    EXPECT_EQ(browser->photo(), files[1]);
}

TEST_F(CloudBrowserTest, ShowingAPhotoAgainKeepsItsDownloadAndMovingOnStopsTheOneBefore)
{
    gate.hold(files[1]);
    gate.hold(files[2]);
    open(1);
    ASSERT_TRUE(waitUntil([&] { return gate.reached(files[1]); }));
    // The same photo shown again: its transfer goes on, no second one starts.
    pager()->reloadDataSource();
    spinEvents(300);
    EXPECT_EQ(gate.waiting(files[1]), 1);
    EXPECT_EQ(pager()->downloadingPhoto(), files[1]);

    // Another photo: its download is asked for and the one before stops.
    browser->thumbnailListView()->touchButtonClicked(2);
    ASSERT_TRUE(waitUntil([&] { return gate.reached(files[2]); }));
    gate.release(files[1]);
    spinEvents(300);
    EXPECT_LT(QFileInfo(files[1]->file_path()).size(), bytes[1].size());
    gate.release(files[2]);
    ASSERT_TRUE(waitUntil([&] { return shown(2); }));
    EXPECT_EQ(ImageFixtures::readFile(files[2]->file_path()), bytes[2]);
}

TEST_F(CloudBrowserTest, KeysPageAndEscapeGoesBackStoppingTheDownload)
{
    gate.hold(files[2]);
    open(1);
    ASSERT_TRUE(waitUntil([&] { return shown(1); }));
    canvas.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&canvas));
    QTest::keyClick(canvas.windowHandle(), Qt::Key_Right);
    EXPECT_EQ(browser->titleLabel()->text(), QStringLiteral("IMG_2.JPG"));
    EXPECT_TRUE(browser->isFullScreen());
    ASSERT_TRUE(waitUntil([&] { return gate.reached(files[2]); }));

    QTest::keyClick(canvas.windowHandle(), Qt::Key_Escape);
    ASSERT_TRUE(waitUntil([&] { return browser.isNull(); }));
    gate.release(files[2]);
    spinEvents(300);
    EXPECT_LT(QFileInfo(files[2]->file_path()).size(), bytes[2].size());  // stopped, not finished
}

TEST_F(CloudBrowserTest, TheDeleteConfirmationTakesTheKeysAndDeletesThePhotoItAskedAbout)
{
    open(1);
    ASSERT_TRUE(waitUntil([&] { return shown(1) && browser->deleteButton()->isEnabled(); }));
    canvas.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&canvas));
    QWindow* window = canvas.windowHandle();
    const auto namesOnDisk = [&] {
        QStringList names;
        for (const DiskFilePtr& file : disk.filesIn(dir))
            names << file->file_name();
        names.sort();
        return names;
    };
    browser->deleteButton()->click();
    ASSERT_NE(ui::Alert::showingAlertWithTag(99), nullptr);
    for (Qt::Key key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Backtab, Qt::Key_Return, Qt::Key_X})
        QTest::keyClick(window, key);
    spinEvents(50);
    EXPECT_EQ(pager()->selectedIndex(), 1);
    EXPECT_EQ(browser->titleLabel()->text(), QStringLiteral("IMG_1.JPG"));
    ASSERT_NE(ui::Alert::showingAlertWithTag(99), nullptr);
    QTest::keyClick(window, Qt::Key_Escape);  // "取消"
    EXPECT_EQ(ui::Alert::showingAlertWithTag(99), nullptr);
    ASSERT_FALSE(browser.isNull());

    browser->deleteButton()->click();
    QTest::keyClick(window, Qt::Key_Right);
    ui::Alert::showingAlertWithTag(99)->clickButtonAtIndex(1);
    ASSERT_TRUE(waitUntil([&] { return browser->photoArray().size() == kPhotos - 1; }));
    EXPECT_FALSE(namesOnDisk().contains(QStringLiteral("IMG_1.JPG")));
    EXPECT_EQ(browser->photo(), files[2]);

    // Confirmed after the browser came to show another photo: the one asked
    // about goes, the shown one stays.
    ASSERT_TRUE(waitUntil([&] { return shown(1) && browser->deleteButton()->isEnabled(); }));
    browser->deleteButton()->click();
    browser->photoThumbnailListViewDidSelectAtIndex(browser->thumbnailListView(), 0);
    ui::Alert::showingAlertWithTag(99)->clickButtonAtIndex(1);
    ASSERT_TRUE(waitUntil([&] { return browser->photoArray().size() == kPhotos - 2; }));
    EXPECT_FALSE(namesOnDisk().contains(QStringLiteral("IMG_2.JPG")));
    EXPECT_TRUE(namesOnDisk().contains(QStringLiteral("IMG_0.JPG")));
    EXPECT_EQ(browser->photo(), files[0]);
    EXPECT_EQ(browser->titleLabel()->text(), QStringLiteral("IMG_0.JPG"));
}

TEST_F(CloudBrowserTest, AFlingOfAZoomedPictureHidesTheBars)
{
    open(1);
    ASSERT_TRUE(waitUntil([&] { return shown(1); }));
    EXPECT_TRUE(aZoomedFlingHidesTheBars(&canvas, browser, pager()));
}

TEST_F(CloudBrowserTest, APictureDecodedSharperForAZoomIsStillSmoothWhenZoomedOut)
{
    ASSERT_NO_FATAL_FAILURE(openOnly(ImageFixtures::fineLines(4000, 3000, 2), QStringLiteral("LINES.JPG")));
    EXPECT_TRUE(showsFineLinesAveraged(&canvas, "cloud_browser_fitted.png"));
    const int decoded = pager()->detailImageView()->image().width();

    pager()->doubleClicked(QPoint(512, 384));
    ASSERT_TRUE(waitUntil([&] { return pager()->detailImageView()->image().width() > decoded; }, 10000));
    pager()->doubleClicked(QPoint(512, 384));
    EXPECT_DOUBLE_EQ(pager()->detailScrollView()->zoomScale(), 1.0);
    EXPECT_TRUE(showsFineLinesAveraged(&canvas, "cloud_browser_zoomed_out.png"));
}

TEST_F(CloudBrowserTest, AGratingZoomedInAndOutIsAsEvenAsWhenFirstShown)
{
    // Lines with two-pixel gaps: halving the sharper decode once and
    // drawing it smaller leaves hard bands of them.
    ASSERT_NO_FATAL_FAILURE(openOnly(ImageFixtures::grating(4000, 3000, 4), QStringLiteral("GRATING.JPG")));
    const QRect block(300, 250, 160, 100);   // inside the lines, clear of the print
    // What the screen shows once the picture's copy for its size is final.
    const auto settledSpread = [&] {
        canvas.grab();
        EXPECT_TRUE(waitUntil([&] { return !pager()->detailImageView()->isRefining(); }, 10000));
        return greySpread(canvas.grab().toImage(), block);
    };
    const double firstSpread = settledSpread();
    ASSERT_FALSE(saveScreenshot(&canvas, "cloud_browser_grating_first.png").isEmpty());

    pager()->doubleClicked(QPoint(512, 384));
    ASSERT_TRUE(waitUntil([&] { return pager()->detailImageView()->image().width() == 4000; }, 10000));
    pager()->doubleClicked(QPoint(512, 384));
    ASSERT_DOUBLE_EQ(pager()->detailScrollView()->zoomScale(), 1.0);
    EXPECT_LE(settledSpread(), firstSpread + 2.0) << "first open " << firstSpread;
    EXPECT_FALSE(saveScreenshot(&canvas, "cloud_browser_grating_zoomed_out.png").isEmpty());
}

TEST_F(CloudBrowserTest, ADragPastTheFirstOrLastPhotoOvershootsAndSpringsBackButAVerticalOneMovesNothing)
{
    // Opened on `photo`, a slow drag of the finger by `by` points: sideways
    // past the first or last photo the content goes past its edge while the
    // finger is down (held back by its resistance) and comes back to the
    // same photo after the release. The pages do not scroll up or down, so
    // a vertical drag moves nothing and leaves the bars shown.
    auto dragPastTheEnd = [&](int photo, QPoint by) {
        open(photo);
        ASSERT_TRUE(waitUntil([&] { return shown(photo) && swipesTaken(); }));
        ui::ScrollView* container = pager()->containerScrollView();
        QSignalSpy decelerations(container, &ui::ScrollView::deceleratingBegan);
        const QPointF edge = container->contentOffset();
        QPointF past;
        QTest::mousePress(canvas.windowHandle(), Qt::LeftButton, {}, QPoint(500, 400), 0);
        for (int step = 1; step <= 10; ++step) {
            QTest::mouseMove(canvas.windowHandle(), QPoint(500, 400) + by * step / 10, 30);
            const QPointF moved = container->contentOffset() - edge;
            past = QPointF(std::max(past.x(), std::abs(moved.x())), std::max(past.y(), std::abs(moved.y())));
        }
        QTest::mouseRelease(canvas.windowHandle(), Qt::LeftButton, {}, QPoint(500, 400) + by, 30);
        if (by.x() != 0) {
            EXPECT_GT(past.x(), 50.0);
            EXPECT_LT(past.x(), std::abs(by.x()));
        } else {
            EXPECT_EQ(past, QPointF());
            EXPECT_EQ(decelerations.count(), 0);
            EXPECT_FALSE(browser->isFullScreen());
        }
        EXPECT_EQ(past.y(), 0.0);
        ASSERT_TRUE(waitUntil([&] { return !container->isDecelerating() && swipesTaken(); }));
        EXPECT_EQ(container->contentOffset(), edge);
        EXPECT_EQ(pager()->selectedIndex(), photo);
        browser->backButtonClicked();
        ASSERT_TRUE(waitUntil([&] { return rootScreen->presentedScreen() == nullptr; }));
    };
    dragPastTheEnd(kPhotos - 1, QPoint(-400, 0));
    dragPastTheEnd(0, QPoint(400, 0));
    dragPastTheEnd(2, QPoint(0, 300));
    dragPastTheEnd(2, QPoint(0, -300));
}

TEST_F(CloudBrowserTest, SavesTheOriginalBytesAndDeletesTheShownPhoto)
{
    open(2);
    ASSERT_TRUE(waitUntil([&] { return browser->saveButton()->isEnabled(); }));
    browser->saveButton()->click();
    ASSERT_TRUE(waitUntil([&] { return library->saved().size() == 1 && PavProgressView::showing(); }));
    ASSERT_TRUE(waitUntil([&] { return PavProgressView::showing()->isSuccess(); }));
    EXPECT_EQ(PavProgressView::showing()->text(), QStringLiteral("照片保存成功！"));
    EXPECT_EQ(library->saved().first().bytes, bytes[2]);
    EXPECT_EQ(library->saved().first().ext, QStringLiteral("JPG"));

    browser->deleteButton()->click();
    ui::Alert* confirm = ui::Alert::showingAlertWithTag(99);
    ASSERT_NE(confirm, nullptr);
    confirm->clickButtonAtIndex(1);
    ASSERT_TRUE(waitUntil([&] { return browser->photoArray().size() == kPhotos - 1; }));
    EXPECT_TRUE(album.isUpdated());
    EXPECT_EQ(browser->photo(), files[3]);  // the next one, now the third of four
    EXPECT_EQ(pager()->selectedIndex(), 2);
    EXPECT_EQ(browser->titleLabel()->text(), QStringLiteral("IMG_3.JPG"));
    EXPECT_EQ(events, (QList<int>{27147, 27148, 27149}));
    EXPECT_EQ(disk.filesIn(dir).size(), kPhotos - 1);
}

TEST_F(CloudBrowserTest, SavingSendsTheCheckedOriginalNeverADamagedLocalCopy)
{
    open(2);
    ASSERT_TRUE(waitUntil([&] { return browser->saveButton()->isEnabled(); }));
    // The copy on this machine was damaged after it was shown; its size is right.
    QByteArray damaged = bytes[2];
    damaged[damaged.size() / 2] = char(damaged[damaged.size() / 2] ^ 0x20);
    ASSERT_TRUE(ImageFixtures::writeFile(files[2]->file_path(), damaged));
    browser->saveButton()->click();
    ASSERT_TRUE(waitUntil([&] { return library->saved().size() == 1; }));
    EXPECT_EQ(library->saved().first().bytes, bytes[2]);
}

TEST_F(CloudBrowserTest, ADownloadThatIsNoPictureOrFailsShowsTheFailureAndOnlyDeleteStays)
{
    const DiskFilePtr bad = uploadNoPicture();
    ASSERT_TRUE(bad);
    open({files[0], bad, files[1]}, 1);
    ASSERT_TRUE(waitUntil([&] { return showsFailure(); }));
    EXPECT_EQ(pager()->detailImageView(), nullptr);
    EXPECT_FALSE(browser->saveButton()->isEnabled());
    EXPECT_TRUE(browser->deleteButton()->isEnabled());
    EXPECT_TRUE(swipesTaken());
    swipeAcross(&canvas, true);  // paging goes on
    ASSERT_TRUE(waitUntil([&] { return shown(2); }));

    // A download that fails: its local copy cannot be written.
    browser->backButtonClicked();
    ASSERT_TRUE(waitUntil([&] { return rootScreen->presentedScreen() == nullptr; }));
    ASSERT_TRUE(QDir().mkpath(files[3]->file_path()));
    open(3);
    ASSERT_TRUE(waitUntil([&] { return showsFailure(); }));
    EXPECT_FALSE(browser->saveButton()->isEnabled());
    EXPECT_TRUE(browser->deleteButton()->isEnabled());
    EXPECT_TRUE(swipesTaken());
}

TEST_F(CloudBrowserTest, ACancelledDeleteKeepsThePhotoAndDeletingTheOnlyOneClosesAfterASecond)
{
    open({files[0]}, 0);
    ASSERT_TRUE(waitUntil([&] { return shown(0) && browser->deleteButton()->isEnabled(); }));
    browser->deleteButton()->click();
    ASSERT_NE(ui::Alert::showingAlertWithTag(99), nullptr);
    EXPECT_EQ(ui::Alert::showingAlertWithTag(99)->message(), QStringLiteral("确定要删除照片？"));
    ui::Alert::showingAlertWithTag(99)->clickButtonAtIndex(0);
    spinEvents(100);
    EXPECT_EQ(browser->photoArray().size(), 1);
    EXPECT_EQ(PavProgressView::showing(), nullptr);

    browser->deleteButton()->click();
    ASSERT_NE(ui::Alert::showingAlertWithTag(99), nullptr);
    ui::Alert::showingAlertWithTag(99)->clickButtonAtIndex(1);
    ASSERT_TRUE(waitUntil([&] { return browser->photoArray().isEmpty(); }));
    ASSERT_NE(PavProgressView::showing(), nullptr);
    EXPECT_EQ(PavProgressView::showing()->text(), QStringLiteral("照片删除成功！"));
    EXPECT_FALSE(browser->saveButton()->isEnabled());
    EXPECT_FALSE(browser->deleteButton()->isEnabled());
    spinEvents(500);
    EXPECT_FALSE(browser.isNull());  // the message is seen first
    ASSERT_TRUE(waitUntil([&] { return browser.isNull(); }, 3000));
    EXPECT_EQ(rootScreen->presentedScreen(), nullptr);
}

TEST_F(CloudBrowserTest, AFailedSaveAlerts)
{
    library->setSaveMode(FakePhotoLibrary::SaveMode::Fail);
    open(0);
    ASSERT_TRUE(waitUntil([&] { return browser->saveButton()->isEnabled(); }));
    browser->saveButton()->click();
    ASSERT_TRUE(waitUntil([&] { return ui::Alert::showingAlertWithTag(0) != nullptr; }));
    EXPECT_EQ(ui::Alert::showingAlertWithTag(0)->message(), QStringLiteral("操作失败，请稍候重试。"));
    EXPECT_EQ(PavProgressView::showing(), nullptr);
    ui::Alert::showingAlertWithTag(0)->clickButtonAtIndex(0);
    EXPECT_EQ(browser->photoArray().size(), kPhotos);
}

TEST_F(CloudBrowserTest, Screenshot)
{
    open(1);
    ASSERT_TRUE(waitUntil([&] { return shown(1) && tilesHaveThumbnails(browser->thumbnailListView(), kPhotos); }));
    EXPECT_FALSE(saveScreenshot(&canvas, "cloud_browser.png").isEmpty());
    EXPECT_TRUE(showsPhotoWithBars(&canvas, browser, ImageFixtures::pattern(1200, 900, 1)));
}

TEST(BrowserArithmetic, ProgressIsClampedAndLargePicturesHoldSwipesLonger)
{
    EXPECT_EQ(PavCloudPhotoLoadingView_iPad::progressMessage(150), QStringLiteral("正在打开照片 请稍候...（100%）"));
    EXPECT_EQ(PavCloudPhotoLoadingView_iPad::progressMessage(-3), QStringLiteral("正在打开照片 请稍候...（0%）"));
    EXPECT_EQ(PavCloudPhotoLoadingView_iPad::progressMessage(std::nanf("")), QStringLiteral("正在打开照片 请稍候...（0%）"));
    EXPECT_EQ(PavSecretPhotoScrollView::unlockDelayMs(QSize(1000, 1000)), 800);
    EXPECT_EQ(PavSecretPhotoScrollView::unlockDelayMs(QSize(4000, 2000)), 2000);
    EXPECT_EQ(PavSecretPhotoScrollView::unlockDelayMs(QSize()), 800);  // no picture
}
