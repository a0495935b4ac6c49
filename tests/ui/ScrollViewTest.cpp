#include "platform/ui/ScrollView.h"
#include "support/ManualAnimationClock.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

// With animations on, as in the application, moved on by hand.
TEST(ScrollView, AZoomReportsItsEndOnceAtWhereItStopped)
{
    ManualAnimationClock clock;
    ui::ScrollView view;
    view.resize(400, 300);
    QWidget* zoomed = new QWidget;
    view.setZoomView(zoomed);
    view.setMaximumZoomScale(4.0);
    QSignalSpy ended(&view, &ui::ScrollView::zoomingEnded);
    view.zoomTo(3.0, {100, 100}, true);
    clock.advanceBy(ui::ScrollView::kZoomMs / 2);
    EXPECT_EQ(ended.count(), 0);
    clock.advanceBy(ui::ScrollView::kZoomMs);
    ASSERT_EQ(ended.count(), 1);
    EXPECT_DOUBLE_EQ(ended.at(0).at(0).toDouble(), 3.0);

    // Cut short by a new offset: it ends where it got to, once.
    view.setZoomScale(1.0, true);
    clock.advanceBy(ui::ScrollView::kZoomMs / 3);
    view.setContentOffset({0, 0});
    ASSERT_EQ(ended.count(), 2);
    EXPECT_GT(ended.at(1).at(0).toDouble(), 1.0);
    EXPECT_LT(ended.at(1).at(0).toDouble(), 3.0);
    clock.advanceBy(ui::ScrollView::kZoomMs);
    EXPECT_EQ(ended.count(), 2);
}
