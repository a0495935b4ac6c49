#include "Public/KyUICheckBoxButton.h"
#include "Public/PavRefreshTableHeaderView.h"
#include "albums/widgets/AlbumRefreshHeader.h"
#include "platform/ui/SectionedTable.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

struct FakeScroll : PavRefreshScrollView {
    double offset = 0;
    bool dragging = false;
    double inset = 0;
    double contentOffsetY() const override { return offset; }
    bool isDragging() const override { return dragging; }
    double contentInsetTop() const override { return inset; }
    void setContentInsetTop(double v) override { inset = v; }
};

struct Owner : PavRefreshTableHeaderDelegate {
    int triggers = 0;
    bool loading = false;
    void pavRefreshTableHeaderDidTriggerRefresh(PavRefreshTableHeaderView*) override
    {
        ++triggers;
        loading = true;
    }
    bool pavRefreshTableHeaderDataSourceIsLoading(PavRefreshTableHeaderView*) override { return loading; }
};

void drag(PavRefreshTableHeaderView& header, FakeScroll& scroll, double to)
{
    scroll.dragging = true;
    scroll.offset = to;
    header.pavRefreshScrollViewDidScroll(scroll);
}

void release(PavRefreshTableHeaderView& header, FakeScroll& scroll)
{
    scroll.dragging = false;
    header.pavRefreshScrollViewDidEndDragging(scroll);
}

}

TEST(PavRefreshTableHeaderView, OnlyAPullOfSixtyFivePointsRefreshes)
{
    PavRefreshTableHeaderView header(QRect(0, -400, 600, 400), nullptr);
    Owner owner;
    header.setDelegate(&owner);
    FakeScroll scroll;

    drag(header, scroll, -64);
    EXPECT_EQ(header.state(), PavRefreshTableHeaderView::State::Normal);
    release(header, scroll);
    EXPECT_EQ(owner.triggers, 0);

    drag(header, scroll, -65);
    EXPECT_EQ(header.state(), PavRefreshTableHeaderView::State::Pulling);
    drag(header, scroll, -30);
    EXPECT_EQ(header.state(), PavRefreshTableHeaderView::State::Normal) << "pulling back cancels";
    drag(header, scroll, -80);
    release(header, scroll);
    EXPECT_EQ(owner.triggers, 1);
    EXPECT_EQ(header.state(), PavRefreshTableHeaderView::State::Loading);
    EXPECT_EQ(scroll.inset, 60.0);
    EXPECT_EQ(header.statusText(), "加载中...");
}

TEST(PavRefreshTableHeaderView, NoSecondRefreshWhileLoadingAndFinishingResetsTheInset)
{
    PavRefreshTableHeaderView header;
    Owner owner;
    header.setDelegate(&owner);
    FakeScroll scroll;
    drag(header, scroll, -90);
    release(header, scroll);
    drag(header, scroll, -120);
    release(header, scroll);
    EXPECT_EQ(owner.triggers, 1);

    header.pavRefreshScrollViewDataSourceDidFinishedLoading(scroll);
    EXPECT_EQ(scroll.inset, 0);
    EXPECT_EQ(header.state(), PavRefreshTableHeaderView::State::Normal);

    owner.loading = true;   // a load started elsewhere (the screen's first load, say)
    drag(header, scroll, -90);
    release(header, scroll);
    EXPECT_EQ(owner.triggers, 1);
}

TEST(AlbumRefreshHeader, APullOnATableAlreadyOnScreenRefreshes)
{
    ui::SectionedTable table;
    table.resize(600, 400);
    table.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&table));
    Owner owner;
    PavRefreshTableHeaderView* header = AlbumRefreshHeader::attach(&table, QSize(600, 400), &owner);
    EXPECT_TRUE(header->isVisible());
    // A real drag down the table, twice the pull needed.
    QWindow* window = table.windowHandle();
    const QPoint at = table.viewport()->mapTo(&table, QPoint(300, 20));
    QTest::mousePress(window, Qt::LeftButton, {}, at);
    for (int dy = 20; dy <= 260; dy += 20)
        QTest::mouseMove(window, at + QPoint(0, dy), 10);
    QTest::mouseRelease(window, Qt::LeftButton, {}, at + QPoint(0, 260), 10);
    EXPECT_EQ(owner.triggers, 1);
    EXPECT_EQ(header->state(), PavRefreshTableHeaderView::State::Loading);
}

TEST(KyUICheckBoxButton, ATapFlipsItsState)
{
    KyUICheckBoxButton box;
    box.resize(24, 24);
    EXPECT_FALSE(box.on());
    box.click();
    EXPECT_TRUE(box.on());
    EXPECT_TRUE(box.isSelected());
    box.setOn(false);
    EXPECT_FALSE(box.isSelected());
}
