#include "platform/ui/ScrollView.h"
#include "support/EventLoop.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A shown 400 x 300 scroll view over content twice as wide.
// Animations run as in the application.
class ScrollViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        view.resize(400, 300);
        view.setContentSize({800, 300});
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }
    // Drags the finger slowly `by` points sideways from the middle; returns
    // the offset just before the release.
    double dragBy(int by)
    {
        const QPoint from(200, 150);
        QTest::mousePress(&view, Qt::LeftButton, {}, from, 0);
        for (int step = 1; step <= 8; ++step)
            QTest::mouseMove(&view, from + QPoint(by * step / 8, 0), 100);
        const double x = view.contentOffset().x();
        QTest::mouseRelease(&view, Qt::LeftButton, {}, from + QPoint(by, 0), 100);
        return x;
    }

    ui::ScrollView view;
};

}

TEST_F(ScrollViewTest, ABouncingViewOvershootsWhileDraggedAndSpringsBackOnRelease)
{
    QSignalSpy ended(&view, &ui::ScrollView::deceleratingEnded);
    // Not bouncing (the default): held at the edge.
    EXPECT_EQ(dragBy(160), 0.0);
    EXPECT_EQ(view.contentOffset().x(), 0.0);
    EXPECT_EQ(ended.count(), 0);

    view.setBounces(true);
    const double before = dragBy(160);
    EXPECT_LT(before, -30.0);
    EXPECT_GT(before, -160.0);  // against resistance
    ASSERT_TRUE(waitUntil([&] { return ended.count() == 1; }));
    EXPECT_EQ(view.contentOffset().x(), 0.0);

    // Past the far edge too, and a paging view springs back to its last page.
    view.setPagingEnabled(true);
    view.setContentOffset({400, 0});
    EXPECT_GT(dragBy(-160), 430.0);
    ASSERT_TRUE(waitUntil([&] { return ended.count() == 2; }));
    EXPECT_EQ(view.contentOffset().x(), 400.0);
}

TEST_F(ScrollViewTest, AZoomReportsItsEndOnceAtWhereItStopped)
{
    QWidget zoomed;
    view.setZoomView(&zoomed);
    view.setMaximumZoomScale(4.0);
    QSignalSpy ended(&view, &ui::ScrollView::zoomingEnded);
    view.zoomTo(3.0, {100, 100}, true);
    EXPECT_EQ(ended.count(), 0);
    ASSERT_TRUE(waitUntil([&] { return ended.count() == 1; }));
    EXPECT_DOUBLE_EQ(ended.at(0).at(0).toDouble(), 3.0);
    spinEvents(ui::ScrollView::kZoomMs);
    EXPECT_EQ(ended.count(), 1);

    // Cut short by a new offset: it ends where it got to.
    view.setZoomScale(1.0, true);
    spinEvents(ui::ScrollView::kZoomMs / 3);
    view.setContentOffset({0, 0});
    ASSERT_EQ(ended.count(), 2);
    const double stopped = ended.at(1).at(0).toDouble();
    EXPECT_GT(stopped, 1.0);
    EXPECT_LT(stopped, 3.0);
    spinEvents(ui::ScrollView::kZoomMs);
    EXPECT_EQ(ended.count(), 2);
    view.setZoomView(nullptr);
}
