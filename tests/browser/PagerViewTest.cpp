#include "albums/browser/PavSystemPhotoScrollView.h"
#include "platform/ui/Animations.h"
#include "platform/ui/ScrollView.h"
#include "support/EventLoop.h"

#include <QColor>
#include <QImage>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <set>

namespace {

QRgb colourOf(int photo) { return QColor::fromHsv((photo * 36) % 360, 200, 200).rgb(); }

QImage picture(int photo)
{
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(colourOf(photo));
    return image;
}

// A data source over `pages` plain pictures; the large pictures of the gated
// photos wait until the test opens their gate.
class GatedSource : public QObject, public PavPhotoScrollViewDataSource, public PavPhotoScrollViewDelegate {
public:
    GatedSource(int pages, int begin, std::set<int> gated) : m_pages(pages), m_begin(begin), m_closed(std::move(gated)) {}

    void open(int photo)
    {
        std::lock_guard lock(m_mutex);
        m_closed.erase(photo);
        m_cv.notify_all();
    }
    int finished(int photo)
    {
        std::lock_guard lock(m_mutex);
        return m_finished[photo];
    }
    int reads(int photo)
    {
        std::lock_guard lock(m_mutex);
        return m_reads[photo];
    }

    int pagesForPhotoScrollView(PavSystemPhotoScrollView*) override { return m_pages; }
    int beginPageForPhotoScrollView(PavSystemPhotoScrollView*) override { return m_begin; }
    ImageJob photoScrollViewThumbnailAtIndex(PavSystemPhotoScrollView*, int index) override
    {
        return [index] { return picture(index).scaled(16, 12); };
    }
    ImageJob photoScrollViewFullScreenImageAtIndex(PavSystemPhotoScrollView*, int index) override
    {
        return [this, index] {
            std::unique_lock lock(m_mutex);
            ++m_reads[index];
            m_cv.wait(lock, [&] { return !m_closed.count(index); });
            ++m_finished[index];
            return picture(index);
        };
    }
    ImageJob photoScrollViewFullResolutionImageAtIndex(PavSystemPhotoScrollView*, int) override { return {}; }
    void photoScrollViewDidSelectAtIndex(PavSystemPhotoScrollView*, int index) override { selected.push_back(index); }
    void photoScrollViewWillBeginDecelerating(PavSystemPhotoScrollView*) override { ++decelerations; }

    std::vector<int> selected;
    int decelerations = 0;

private:
    int m_pages;
    int m_begin;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::set<int> m_closed;
    std::map<int, int> m_reads;
    std::map<int, int> m_finished;
};

class PagerViewTest : public ::testing::Test {
protected:
    void SetUp() override { ui::Animations::setEnabled(false); }
    void TearDown() override { ui::Animations::setEnabled(true); }

    void make(int pages, int begin, std::set<int> gated = {})
    {
        source = std::make_unique<GatedSource>(pages, begin, std::move(gated));
        view = std::make_unique<PavSystemPhotoScrollView>(QRect(0, 0, 1024, 768));
        view->setDataSource(source.get());
        view->setDelegate(source.get());
        QObject::connect(view.get(), &PhotoPagerView::detailImageShown, [this](int photo) { shown.push_back(photo); });
    }
    // Shown on screen with its first picture in.
    bool showLoaded(int pages, int begin)
    {
        make(pages, begin);
        view->show();
        if (!QTest::qWaitForWindowExposed(view.get()))
            return false;
        view->reloadDataSource();
        return waitUntil([&] { return !shown.empty(); });
    }
    // The container settles one screen to the side, as after a swipe.
    void swipe(int screens)
    {
        auto* container = view->containerScrollView();
        container->setContentOffset(container->contentOffset() + QPointF(screens * 1024.0, 0));
        view->containerDidEndDecelerating();
    }
    QRgb detailColour() const
    {
        auto* image = view->detailImageView();
        return image ? image->image().toImage().pixel(10, 10) : 0;
    }

    std::unique_ptr<GatedSource> source;
    std::unique_ptr<PavSystemPhotoScrollView> view;
    std::vector<int> shown;
};

}

TEST_F(PagerViewTest, PageViewsFollowTheWindowAndAreKeptWhileInIt)
{
    make(10, 4);
    view->reloadDataSource();
    EXPECT_EQ(source->selected, (std::vector<int>{4}));
    EXPECT_EQ(view->containerScrollView()->contentSize().width(), 3 * 1024);
    EXPECT_EQ(view->containerScrollView()->contentOffset().x(), 1024);
    EXPECT_EQ(view->pageViewCount(), 3);
    ui::ImageView* five = view->pageViewForPhoto(5);
    ASSERT_NE(five, nullptr);
    EXPECT_EQ(five->geometry().x(), 2048);

    swipe(+1);
    EXPECT_EQ(source->selected.back(), 5);
    EXPECT_EQ(view->pageViewForPhoto(5), five);  // the same view, moved to the middle
    EXPECT_EQ(five->geometry().x(), 1024);
    EXPECT_EQ(view->pageViewForPhoto(3), nullptr);
    ASSERT_NE(view->pageViewForPhoto(6), nullptr);
    EXPECT_EQ(view->pageViewCount(), 3);
    EXPECT_EQ(view->containerScrollView()->contentOffset().x(), 1024);  // back on the middle screen
    EXPECT_EQ(view->detailScrollView()->geometry().x(), 1024);

    ASSERT_TRUE(waitUntil([&] { return view->pageViewForPhoto(6)->image().width() > 0; }));
}

TEST_F(PagerViewTest, TheShownPageGetsItsPictureAndZoomStartsOverOnEveryPage)
{
    make(3, 2);
    view->reloadDataSource();
    EXPECT_EQ(view->detailScrollView()->geometry().x(), 2048);
    ASSERT_TRUE(waitUntil([&] { return !shown.empty(); }));
    EXPECT_EQ(shown.back(), 2);
    EXPECT_EQ(detailColour(), colourOf(2));

    auto* detail = view->detailScrollView();
    detail->setMaximumZoomScale(3.0);
    view->doubleClicked(QPoint(100, 100));
    EXPECT_DOUBLE_EQ(detail->zoomScale(), 3.0);
    EXPECT_EQ(detail->contentOffset(), QPointF(0, 0));  // near the corner: the edge stops it
    view->doubleClicked(QPoint(100, 100));
    EXPECT_DOUBLE_EQ(detail->zoomScale(), 1.0);
    view->doubleClicked(QPoint(512, 384));

    swipe(-1);
    EXPECT_DOUBLE_EQ(detail->zoomScale(), 1.0);
    EXPECT_EQ(view->detailImageView(), nullptr);  // the old picture went with its page
    ASSERT_TRUE(waitUntil([&] { return shown.back() == 1; }));
    EXPECT_EQ(detailColour(), colourOf(1));
}

TEST_F(PagerViewTest, AnswersForPagesNoLongerShownAreDropped)
{
    make(10, 0, {0, 1});
    view->reloadDataSource();
    ASSERT_TRUE(waitUntil([&] { return source->reads(0) == 1; }));
    swipe(+1);  // photo 1: the second worker waits too
    ASSERT_TRUE(waitUntil([&] { return source->reads(1) == 1; }));
    swipe(+1);  // photo 2: queued behind them
    swipe(+1);  // photo 3: queued; 2 is no longer wanted
    EXPECT_EQ(source->selected, (std::vector<int>{0, 1, 2, 3}));

    source->open(1);  // a late answer for photo 1, then the queue moves on
    ASSERT_TRUE(waitUntil([&] { return !shown.empty(); }));
    source->open(0);  // the oldest answer comes last
    ASSERT_TRUE(waitUntil([&] { return source->finished(0) == 1; }));
    spinEvents(50);  // its hand-over to the main thread runs

    EXPECT_EQ(shown, (std::vector<int>{3}));
    EXPECT_EQ(detailColour(), colourOf(3));
    EXPECT_EQ(source->reads(2), 0);  // superseded before its turn: never read
    view.reset();  // waits for the worker still running, if any
}

TEST_F(PagerViewTest, AnEmptyListShowsNothingAndTellsNobody)
{
    make(0, 0);
    view->reloadDataSource();
    EXPECT_TRUE(source->selected.empty());
    EXPECT_EQ(view->pageViewCount(), 0);
    EXPECT_FALSE(view->detailScrollView()->isVisible());
}

TEST_F(PagerViewTest, ASwipeIsRefusedFromTheReleaseOfOneUntilTheNewPictureIsIn)
{
    ui::Animations::setEnabled(true);  // the page settles over time
    make(10, 4, {5});
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    view->reloadDataSource();
    ASSERT_TRUE(waitUntil([&] { return !shown.empty(); }));
    QWindow* window = view->windowHandle();
    auto drag = [&] {
        QTest::mousePress(window, Qt::LeftButton, {}, QPoint(900, 300));
        for (int x = 840; x >= 100; x -= 60)
            QTest::mouseMove(window, QPoint(x, 300));
        QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(100, 300));
    };

    drag();
    EXPECT_FALSE(view->containerScrollView()->isUserInteractionEnabled());
    drag();  // while the first one settles
    ASSERT_TRUE(waitUntil([&] { return view->selectedIndex() == 5 && !view->containerScrollView()->isDecelerating(); }));
    drag();  // settled, but its picture is not in yet
    spinEvents(50);
    EXPECT_EQ(view->selectedIndex(), 5);
    EXPECT_EQ(source->decelerations, 1);

    source->open(5);
    ASSERT_TRUE(waitUntil([&] { return view->containerScrollView()->isUserInteractionEnabled(); }));
    drag();
    ASSERT_TRUE(waitUntil([&] { return view->selectedIndex() == 6; }));
    EXPECT_EQ(source->selected, (std::vector<int>{4, 5, 6}));
}

TEST_F(PagerViewTest, ASwipeTooShortToTurnThePageGivesControlBackAtOnce)
{
    ASSERT_TRUE(showLoaded(10, 4));
    QWindow* window = view->windowHandle();
    QTest::mousePress(window, Qt::LeftButton, {}, QPoint(500, 300), 0);
    QTest::mouseMove(window, QPoint(480, 300), 500);
    QTest::mouseMove(window, QPoint(470, 300), 500);  // slow and short
    QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(470, 300), 500);
    EXPECT_EQ(view->selectedIndex(), 4);
    EXPECT_EQ(view->containerScrollView()->contentOffset().x(), 1024);
    EXPECT_TRUE(view->containerScrollView()->isUserInteractionEnabled());
}

TEST_F(PagerViewTest, ADragOnAZoomedPictureMovesThePictureNotThePage)
{
    ASSERT_TRUE(showLoaded(10, 4));
    auto* detail = view->detailScrollView();
    detail->setMaximumZoomScale(2.0);
    view->doubleClicked(QPoint(512, 384));
    ASSERT_DOUBLE_EQ(detail->zoomScale(), 2.0);
    EXPECT_EQ(detail->contentOffset(), QPointF(512, 384));

    QWindow* window = view->windowHandle();
    QTest::mousePress(window, Qt::LeftButton, {}, QPoint(600, 300));
    for (int x = 560; x >= 300; x -= 40)
        QTest::mouseMove(window, QPoint(x, 300));
    // Dragged to 812, then the fling carries the picture on towards its edge.
    QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(300, 300));
    EXPECT_GT(detail->contentOffset().x(), 812);
    EXPECT_EQ(detail->contentOffset().y(), 384);
    EXPECT_EQ(view->selectedIndex(), 4);
    EXPECT_EQ(view->containerScrollView()->contentOffset().x(), 1024);
}

TEST_F(PagerViewTest, AZoomedPictureDraggedPastItsEdgeIsPulledOnAndSpringsBackWithoutPaging)
{
    ASSERT_TRUE(showLoaded(10, 4));
    auto* detail = view->detailScrollView();
    detail->setMaximumZoomScale(2.0);
    view->doubleClicked(QPoint(512, 384));
    ASSERT_EQ(detail->contentOffset(), QPointF(512, 384));

    // Slowly to the right by 800 points: 512 of them reach the left edge.
    QWindow* window = view->windowHandle();
    QTest::mousePress(window, Qt::LeftButton, {}, QPoint(100, 300), 0);
    for (int x = 150; x <= 900; x += 50)
        QTest::mouseMove(window, QPoint(x, 300), 60);
    EXPECT_LT(detail->contentOffset().x(), 0);
    EXPECT_GT(detail->contentOffset().x(), -288);  // with resistance
    EXPECT_EQ(detail->contentOffset().y(), 384);  // along its axis only
    QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(900, 300), 60);
    EXPECT_EQ(detail->contentOffset(), QPointF(0, 384));
    EXPECT_EQ(view->selectedIndex(), 4);
    EXPECT_EQ(view->containerScrollView()->contentOffset().x(), 1024);
}

// A press while a zoomed picture springs back from past its edge catches the
// picture: a drag then moves it, not the page; a press let go without a drag
// sends it back inside.
TEST_F(PagerViewTest, AZoomedPictureSpringingBackIsCaughtByTheNextPressNotTurnedPast)
{
    ASSERT_TRUE(showLoaded(10, 4));
    ui::Animations::setEnabled(true);  // the spring back takes its time
    auto* detail = view->detailScrollView();
    detail->setMaximumZoomScale(2.0);
    view->doubleClicked(QPoint(512, 384));
    ASSERT_TRUE(waitUntil([&] { return detail->contentOffset() == QPointF(512, 384); }));
    QWindow* window = view->windowHandle();
    auto pullPastLeftEdge = [&] {
        QTest::mousePress(window, Qt::LeftButton, {}, QPoint(100, 300));
        for (int x = 150; x <= 900; x += 50)
            QTest::mouseMove(window, QPoint(x, 300), 60);
        QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(900, 300), 60);
        return detail->contentOffset().x() < 0;
    };

    ASSERT_TRUE(pullPastLeftEdge());
    // Straight back the other way, slowly, while it springs back.
    QTest::mousePress(window, Qt::LeftButton, {}, QPoint(900, 300));
    for (int x = 860; x >= 500; x -= 40)
        QTest::mouseMove(window, QPoint(x, 300), 60);
    QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(500, 300), 60);
    ASSERT_TRUE(waitUntil([&] { return !detail->isDecelerating() && !view->containerScrollView()->isDecelerating(); }));
    EXPECT_EQ(view->selectedIndex(), 4);
    EXPECT_EQ(view->containerScrollView()->contentOffset().x(), 1024);
    EXPECT_GT(detail->contentOffset().x(), 0);  // the picture moved
    EXPECT_LE(detail->contentOffset().x(), 1024);

    detail->setContentOffset(QPointF(512, 384), false);
    ASSERT_TRUE(pullPastLeftEdge());
    QTest::mousePress(window, Qt::LeftButton, {}, QPoint(600, 300));
    QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(600, 300), 10);
    ASSERT_TRUE(waitUntil([&] { return detail->contentOffset() == QPointF(0, 384); }));
    EXPECT_EQ(view->selectedIndex(), 4);
    EXPECT_EQ(view->containerScrollView()->contentOffset().x(), 1024);
}

TEST_F(PagerViewTest, ADragReleasedRightOnAPageSettlesThereAndTheSelectionFollows)
{
    ASSERT_TRUE(showLoaded(10, 4));
    // From 1010 to -400: the content stops exactly on the next screen.
    QWindow* window = view->windowHandle();
    QTest::mousePress(window, Qt::LeftButton, {}, QPoint(1010, 300), 0);
    for (int x = 950; x >= -400; x -= 50)
        QTest::mouseMove(window, QPoint(x, 300), 40);
    QTest::mouseMove(window, QPoint(-400, 300), 40);
    QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(-400, 300), 40);
    EXPECT_EQ(view->selectedIndex(), 5);
    EXPECT_EQ(source->selected, (std::vector<int>{4, 5}));
    auto* container = view->containerScrollView();
    EXPECT_EQ(container->contentOffset().x(), view->screenIndex() * 1024.0);
    ASSERT_TRUE(waitUntil([&] { return shown.size() == 2 && detailColour() == colourOf(5); }));
    EXPECT_EQ(view->detailScrollView()->geometry().x(), int(container->contentOffset().x()));
    EXPECT_TRUE(container->isUserInteractionEnabled());
}
