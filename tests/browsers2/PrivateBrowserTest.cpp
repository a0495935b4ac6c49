#include "Public/PavAlertView.h"
#include "Public/PavEncryptManager.h"
#include "Public/PavProgressView.h"
#include "albums/browser/PavPhotoThumbnailListView_iPad.h"
#include "albums/browser/PavPhotoThumbnailView_iPad.h"
#include "albums/browser/PavSecretPhotoBrowserController_iPad.h"
#include "albums/browser/PavSecretPhotoScrollView.h"
#include "albums/lock/PavAlbumPasswordManager.h"
#include "albums/store/PavPhotoManager.h"
#include "platform/core/MainThread.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Animations.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/ImageButton.h"
#include "platform/ui/ScrollView.h"
#include "support/BrowserScreen.h"
#include "support/EventLoop.h"
#include "support/FakePhotoLibrary.h"
#include "support/ImageFixtures.h"
#include "support/Screenshot.h"
#include "support/Swipe.h"
#include "support/TempHome.h"

#include <QLabel>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A private browser over a real store of generated photos in a temporary
// home, presented full screen on a canvas with the album unlocked.
class PrivateBrowserTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui::Animations::setEnabled(false);
        store = std::make_unique<PavPhotoManager>(home.documents() + "/photo", library);
        lock.setHasVerified(true);
        canvas.setRootScreen(rootScreen = new ui::Screen);
        canvas.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&canvas));
    }
    void TearDown() override
    {
        PavProgressView::dismiss();
        spinEvents(0);
        ui::Animations::setEnabled(true);
    }

    void fill(int count)
    {
        for (int i = 0; i < count; ++i)
            ASSERT_TRUE(store->encryptImage(ImageFixtures::pattern(800, 600, i)));
        items = store->photoes();
        ASSERT_EQ(items.size(), count);
    }
    void open(int index)
    {
        browser = new PavSecretPhotoBrowserController_iPad(items, index, store.get(), &lock,
                                                           [this](int id) { events.append(id); });
        rootScreen->presentFullScreen(browser, false);
        ASSERT_TRUE(browser->isOnScreen());
    }
    PavSecretPhotoScrollView* pager() const { return browser->photoScrollView(); }
    QString title() const { return browser->titleLabel()->text(); }
    // The item's picture is in and swipes are taken again.
    bool settledOn(int index) const
    {
        return pager()->selectedIndex() == index && pager()->detailImageView() != nullptr &&
               pager()->containerScrollView()->isUserInteractionEnabled();
    }
    // Stores a picture of its own as the item's full file.
    void replacePicture(int index, const QByteArray& bytes)
    {
        ASSERT_TRUE(PavPhotoManager::encryptPhotoData(bytes, store->getPhotoFullPath(*items[index])));
    }
    QSize shownPictureSize() const { return pager()->detailImageView()->image().size(); }
    ui::Alert* alertWithTag(int tag) const { return ui::Alert::showingAlertWithTag(tag); }
    QByteArray storedBytes(const PavPhotoModelPtr& item) const
    {
        return PavEncryptManager::readDataFromPath(store->getPhotoFullPath(*item));
    }

    TempHome home;
    std::shared_ptr<FakePhotoLibrary> library = std::make_shared<FakePhotoLibrary>();
    std::unique_ptr<PavPhotoManager> store;
    PavAlbumPasswordManager lock;
    PavPhotoModelList items;
    QList<int> events;
    ui::Canvas canvas;
    ui::Screen* rootScreen = nullptr;
    QPointer<PavSecretPhotoBrowserController_iPad> browser;
};

}

TEST_F(PrivateBrowserTest, PagesAndMovesTheShownItemOutWithItsOriginalBytes)
{
    fill(10);
    open(4);
    EXPECT_EQ(title(), QStringLiteral("第5张（共10张）"));
    ASSERT_TRUE(waitUntil([&] { return settledOn(4); }));
    // Only the shown item's picture is deciphered; the other screens show spinners.
    EXPECT_EQ(pager()->placeholderCount(), 3);
    swipeAcross(&canvas, true);
    ASSERT_TRUE(waitUntil([&] { return settledOn(5); }));
    EXPECT_EQ(title(), QStringLiteral("第6张（共10张）"));
    EXPECT_EQ(browser->photo(), items[5]);
    EXPECT_EQ(browser->thumbnailListView()->selectedIndex(), 5);  // the swipe hid the bars: the strip follows

    const QByteArray original = storedBytes(items[5]);
    browser->decryptButtonClicked();
    ASSERT_TRUE(waitUntil([&] { return alertWithTag(100) != nullptr; }));
    ASSERT_EQ(library->saved().size(), 1);
    EXPECT_EQ(library->saved().first().bytes, original);
    EXPECT_EQ(store->photoes().size(), 9);
    EXPECT_EQ(browser->photo(), items[6]);  // the one that followed
    EXPECT_EQ(title(), QStringLiteral("第6张（共9张）"));
    EXPECT_EQ(events, QList<int>{27114});

    // "不再提示": later move-outs end with the short message.
    alertWithTag(100)->clickButtonAtIndex(1);
    EXPECT_TRUE(UserDefaults::standardUserDefaults().boolForKey("LocalAlbumDecryptSuccessHideAlert"));
    ASSERT_TRUE(waitUntil([&] { return settledOn(5); }));
    browser->decryptButtonClicked();
    ASSERT_TRUE(waitUntil([&] { return PavProgressView::showing() && PavProgressView::showing()->isSuccess(); }));
    EXPECT_EQ(PavProgressView::showing()->text(), QStringLiteral("照片移出成功!"));
    EXPECT_EQ(alertWithTag(100), nullptr);
    EXPECT_EQ(store->photoes().size(), 8);
}

TEST_F(PrivateBrowserTest, KeysPageAndEscapeGoesBack)
{
    fill(3);
    open(1);
    ASSERT_TRUE(waitUntil([&] { return settledOn(1); }));
    canvas.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&canvas));
    QTest::keyClick(canvas.windowHandle(), Qt::Key_Right);
    EXPECT_EQ(title(), QStringLiteral("第3张（共3张）"));
    ASSERT_TRUE(waitUntil([&] { return settledOn(2); }));
    QTest::keyClick(canvas.windowHandle(), Qt::Key_Right);  // the last one
    EXPECT_EQ(pager()->selectedIndex(), 2);
    QTest::keyClick(canvas.windowHandle(), Qt::Key_Escape);
    ASSERT_TRUE(waitUntil([&] { return browser.isNull(); }));
}

TEST_F(PrivateBrowserTest, TheDeleteConfirmationTakesTheKeysAndDeletesTheItemItAskedAbout)
{
    fill(3);
    open(1);
    ASSERT_TRUE(waitUntil([&] { return settledOn(1); }));
    canvas.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&canvas));
    QWindow* window = canvas.windowHandle();
    browser->deleteButton()->click();
    ASSERT_NE(alertWithTag(110), nullptr);
    for (Qt::Key key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Tab, Qt::Key_Return, Qt::Key_Space, Qt::Key_D})
        QTest::keyClick(window, key);
    spinEvents(50);
    EXPECT_EQ(pager()->selectedIndex(), 1);
    EXPECT_EQ(title(), QStringLiteral("第2张（共3张）"));
    ASSERT_NE(alertWithTag(110), nullptr) << "the alert stays until answered";

    // Escape answers "取消": the browser stays, nothing goes.
    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_EQ(alertWithTag(110), nullptr);
    ASSERT_FALSE(browser.isNull());
    EXPECT_EQ(store->photoes().size(), 3);
    // The keys are the browser's again.
    QTest::keyClick(window, Qt::Key_Left);
    ASSERT_TRUE(waitUntil([&] { return settledOn(0); }));

    // Confirmed after the browser came to show another item: the one asked
    // about goes, the shown one stays.
    browser->deleteButton()->click();
    ASSERT_NE(alertWithTag(110), nullptr);
    browser->photoThumbnailListViewDidSelectAtIndex(browser->thumbnailListView(), 2);
    alertWithTag(110)->clickButtonAtIndex(1);
    QStringList left;
    for (const PavPhotoModelPtr& item : store->photoes())
        left << item->photoUUID();
    EXPECT_EQ(left.size(), 2);
    EXPECT_FALSE(left.contains(items[0]->photoUUID()));
    EXPECT_EQ(browser->photo(), items[2]);
    EXPECT_EQ(browser->photoArray(), (PavPhotoModelList{items[1], items[2]}));
}

TEST_F(PrivateBrowserTest, AMoveOutAnsweredAfterAnotherItemIsShownKeepsThatOneShown)
{
    fill(5);
    library->setSaveMode(FakePhotoLibrary::SaveMode::Hold);
    UserDefaults::standardUserDefaults().setBool("LocalAlbumDecryptSuccessHideAlert", true);
    open(1);
    ASSERT_TRUE(waitUntil([&] { return settledOn(1); }));
    const QByteArray original = storedBytes(items[1]);
    browser->decryptButtonClicked();
    ASSERT_TRUE(waitUntil([&] { return library->held() == 1; }));
    // The user goes on to another item while the library is still saving.
    browser->thumbnailListView()->touchButtonClicked(3);
    ASSERT_TRUE(waitUntil([&] { return settledOn(3); }));

    library->answerHeld(true);
    ASSERT_TRUE(waitUntil([&] { return store->photoes().size() == 4; }));
    ASSERT_EQ(library->saved().size(), 1);
    EXPECT_EQ(library->saved().first().bytes, original);
    ASSERT_TRUE(waitUntil([&] { return browser->photoArray().size() == 4; }));
    EXPECT_EQ(browser->photo(), items[3]);
    ASSERT_TRUE(waitUntil([&] { return settledOn(2); }));
    EXPECT_EQ(title(), QStringLiteral("第3张（共4张）"));
    EXPECT_FALSE(storedBytes(items[3]).isEmpty());
    UserDefaults::standardUserDefaults().removeObjectForKey("LocalAlbumDecryptSuccessHideAlert");
}

TEST_F(PrivateBrowserTest, AFailedSaveKeepsTheItem)
{
    fill(3);
    library->setSaveMode(FakePhotoLibrary::SaveMode::Fail);
    open(2);
    ASSERT_TRUE(waitUntil([&] { return settledOn(2); }));
    browser->decryptButtonClicked();
    ASSERT_TRUE(waitUntil([&] { return alertWithTag(0) != nullptr; }));
    EXPECT_EQ(alertWithTag(0)->message(), QStringLiteral("操作失败，请稍候重试。"));
    EXPECT_EQ(store->photoes().size(), 3);
    EXPECT_EQ(browser->photoArray().size(), 3);
    EXPECT_EQ(browser->photo(), items[2]);
    EXPECT_FALSE(storedBytes(items[2]).isEmpty());
}

TEST_F(PrivateBrowserTest, DeletingTheOnlyItemClosesTheBrowser)
{
    fill(1);
    open(0);
    ASSERT_TRUE(waitUntil([&] { return settledOn(0); }));
    browser->deleteButtonClicked();
    ASSERT_NE(alertWithTag(110), nullptr);
    alertWithTag(110)->clickButtonAtIndex(0);  // cancelled: nothing changes
    EXPECT_EQ(store->photoes().size(), 1);

    browser->deleteButtonClicked();
    alertWithTag(110)->clickButtonAtIndex(1);
    EXPECT_TRUE(store->photoes().isEmpty());
    ASSERT_NE(PavProgressView::showing(), nullptr);
    EXPECT_EQ(PavProgressView::showing()->text(), QStringLiteral("照片删除成功!"));
    EXPECT_FALSE(browser->deleteButton()->isEnabled());  // nothing left to act on
    EXPECT_EQ(events, (QList<int>{27116, 27116}));
    ASSERT_TRUE(waitUntil([&] { return browser.isNull(); }));
}

TEST_F(PrivateBrowserTest, ARelockClosesTheBrowserAndForgetsItsItems)
{
    fill(4);
    open(1);
    ASSERT_TRUE(waitUntil([&] { return settledOn(1); }));
    bool cleared = false;
    MainThread::post([&] {  // as the application's lifecycle does, from the event loop
        lock.setHasVerified(false);
        // Cleared at once, closed without animation.
        cleared = browser.isNull() || (browser->photoArray().isEmpty() && !pager()->detailImageView());
    });
    ASSERT_TRUE(waitUntil([&] { return browser.isNull(); }));
    EXPECT_TRUE(cleared);
    EXPECT_EQ(rootScreen->presentedScreen(), nullptr);

    // Opened while locked, it reads and shows nothing.
    open(0);
    ASSERT_TRUE(waitUntil([&] { return browser.isNull(); }));
}

TEST_F(PrivateBrowserTest, AVeryLargePictureIsDecodedAtTheSizeShown)
{
    fill(2);
    // 20000 x 20000: a full decode would pass Qt's allocation limit.
    ASSERT_TRUE(PavPhotoManager::encryptPhotoData(ImageFixtures::plainPng(20000, 20000, QColor(200, 40, 40)),
                                                  store->getPhotoFullPath(*items[1])));
    open(1);
    ASSERT_TRUE(waitUntil([&] { return settledOn(1); }, 30000));
    const QImage shown = pager()->detailImageView()->image().toImage();
    EXPECT_LE(std::max(shown.width(), shown.height()), 2048);
    EXPECT_EQ(shown.width(), shown.height());
    EXPECT_EQ(QColor(shown.pixel(shown.width() / 2, shown.height() / 2)), QColor(200, 40, 40));
    EXPECT_NEAR(pager()->detailScrollView()->maximumZoomScale(), 20000.0 / 768, 0.001);

    // Zoomed in, it is decoded again larger, but never whole.
    pager()->doubleClicked(QPoint(512, 384));
    ASSERT_TRUE(waitUntil([&] { return shownPictureSize().width() > 2048; }, 60000));
    EXPECT_LE(qint64(shownPictureSize().width()) * shownPictureSize().height(), 16LL * 1024 * 1024);
    EXPECT_EQ(shownPictureSize().width(), shownPictureSize().height());
}

TEST_F(PrivateBrowserTest, ALargePhotoZoomsToItsOriginalSizeAndHoldsSwipesForItsArea)
{
    fill(2);
    replacePicture(1, ImageFixtures::jpeg(4000, 3000, 7));
    open(0);
    ASSERT_TRUE(waitUntil([&] { return settledOn(0); }));
    bool shown = false;
    QList<int> holds;
    QObject::connect(pager(), &PhotoPagerView::swipesHeld, pager(), [&](int ms) { holds.append(ms); });
    QObject::connect(pager(), &PhotoPagerView::detailImageShown, pager(), [&](int photo) { shown = shown || photo == 1; });
    swipeAcross(&canvas, true);
    ASSERT_TRUE(waitUntil([&] { return shown; }, 10000));
    EXPECT_FALSE(pager()->containerScrollView()->isUserInteractionEnabled());
    // Decoded for the screen, but measured by the original: 4000 / 1024.
    EXPECT_LE(shownPictureSize().width(), 2048);
    EXPECT_NEAR(pager()->detailScrollView()->maximumZoomScale(), 3.906, 0.001);
    // 0.8 s + 12 Mpx x 0.15 s = 2.6 s before the next swipe, then swipes again.
    EXPECT_EQ(holds, QList<int>{2600});
    ASSERT_TRUE(waitUntil([&] { return pager()->containerScrollView()->isUserInteractionEnabled(); }, 60000));
}

TEST_F(PrivateBrowserTest, ZoomingPastTheDecodedPictureShowsTheOriginalsDetail)
{
    fill(2);
    // Lines one pixel apart in the middle: at the original's size they stand
    // apart; a picture decoded smaller and blown up shows them as flat grey.
    const QImage picture = ImageFixtures::fineLines(4000, 3000, 3);
    replacePicture(1, ImageFixtures::encode(picture, "jpeg", 95));
    open(1);
    ASSERT_TRUE(waitUntil([&] { return settledOn(1); }, 10000));
    EXPECT_EQ(shownPictureSize(), QSize(2048, 1536));
    EXPECT_TRUE(showsFineLinesAveraged(&canvas, "private_browser_fitted.png"));
    const QImage fitted = canvas.grab().toImage();

    pager()->doubleClicked(QPoint(512, 384));  // to the limit, the middle in the middle
    ASSERT_DOUBLE_EQ(pager()->detailScrollView()->zoomScale(), pager()->detailScrollView()->maximumZoomScale());
    ASSERT_TRUE(waitUntil([&] { return shownPictureSize().width() > 2048; }, 10000));
    EXPECT_EQ(shownPictureSize(), QSize(4000, 3000));  // the original's own pixels, no more

    const QString saved = saveScreenshot(&canvas, "private_browser_zoomed.png");
    ASSERT_FALSE(saved.isEmpty());
    const auto [darkest, lightest] = greyRange(QImage(saved), QRect(400, 300, 60, 40));
    EXPECT_LT(darkest, 70);
    EXPECT_GT(lightest, 185);

    // Back at zoom 1 the sharper picture is drawn smaller than its pixels:
    // still averaged, not a comb of hard lines; then on to another item, where
    // it starts again at the screen's size.
    pager()->doubleClicked(QPoint(512, 384));
    EXPECT_DOUBLE_EQ(pager()->detailScrollView()->zoomScale(), 1.0);
    EXPECT_EQ(shownPictureSize(), QSize(4000, 3000));
    EXPECT_TRUE(showsFineLinesAveraged(&canvas, "private_browser_zoomed_out.png"));
    EXPECT_LT(meanDifference(fitted, canvas.grab().toImage(), QRect(0, 0, 1024, 768)), 6.0);
    swipeAcross(&canvas, false);
    ASSERT_TRUE(waitUntil([&] { return settledOn(0); }, 10000));
    spinEvents(200);
    EXPECT_EQ(shownPictureSize(), QSize(800, 600));
}

TEST_F(PrivateBrowserTest, AFlingOfAZoomedPictureHidesTheBars)
{
    fill(3);
    replacePicture(1, ImageFixtures::jpeg(2000, 1500, 1));
    open(1);
    ASSERT_TRUE(waitUntil([&] { return settledOn(1); }));
    EXPECT_TRUE(aZoomedFlingHidesTheBars(&canvas, browser, pager()));
}

TEST_F(PrivateBrowserTest, AnItemThatDoesNotDecipherShowsTheFailurePictureAndCannotMoveOut)
{
    fill(3);
    ASSERT_TRUE(ImageFixtures::writeFile(store->getPhotoFullPath(*items[1]), "bad"));
    open(0);
    ASSERT_TRUE(waitUntil([&] { return settledOn(0); }));
    swipeAcross(&canvas, true);
    ASSERT_TRUE(waitUntil([&] { return pager()->selectedIndex() == 1 && pager()->detailImageView() != nullptr; }));
    // A black page with the failure picture in its middle, at zoom 1; swipes
    // come back after 0.8 s.
    EXPECT_FALSE(pager()->containerScrollView()->isUserInteractionEnabled());
    const QImage page = pager()->detailImageView()->grab().toImage();
    EXPECT_EQ(QColor(page.pixel(5, 5)), QColor(Qt::black));
    EXPECT_EQ(QColor(page.pixel(page.width() - 5, page.height() - 5)), QColor(Qt::black));
    bool marked = false;
    for (int dx = -60; dx <= 60 && !marked; dx += 4)
        marked = QColor(page.pixel(page.width() / 2 + dx, page.height() / 2)) != QColor(Qt::black);
    EXPECT_TRUE(marked);
    EXPECT_DOUBLE_EQ(pager()->detailScrollView()->maximumZoomScale(), 1.0);
    spinEvents(500);
    EXPECT_FALSE(pager()->containerScrollView()->isUserInteractionEnabled());
    ASSERT_TRUE(waitUntil([&] { return settledOn(1); }, 2000));

    // Moving it out fails at once; the item stays.
    browser->decryptButtonClicked();
    ASSERT_TRUE(waitUntil([&] { return alertWithTag(0) != nullptr; }));
    EXPECT_EQ(alertWithTag(0)->message(), QStringLiteral("操作失败，请稍候重试。"));
    EXPECT_TRUE(library->saved().isEmpty());
    EXPECT_EQ(store->photoes().size(), 3);
    EXPECT_EQ(browser->photo(), items[1]);
}

TEST_F(PrivateBrowserTest, Screenshot)
{
    fill(6);
    open(2);
    ASSERT_TRUE(waitUntil([&] { return settledOn(2) && tilesHaveThumbnails(browser->thumbnailListView(), 6); }));
    EXPECT_FALSE(saveScreenshot(&canvas, "private_browser.png").isEmpty());
    // The item shown third, whichever pattern that is (items stored in one
    // second share their date).
    EXPECT_TRUE(showsPhotoWithBars(&canvas, browser,
                                   PavPhotoManager::decryptPhotoWithFullPath(store->getPhotoFullPath(*items[2]))));
}
