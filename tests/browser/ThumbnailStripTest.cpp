#include "albums/browser/ThumbnailStrip.h"

#include <gtest/gtest.h>

TEST(ThumbnailStrip, TheOverlayWindowLiesOverTheSelectedTile)
{
    ThumbnailStrip strip;
    for (int count : {3, 9, 20}) {
        strip.reload(count);
        for (int i = 0; i < count; ++i) {
            strip.select(i);
            const QRect window = strip.windowFrame().translated(strip.overlayFrame().topLeft());
            ASSERT_EQ(window, ThumbnailStrip::tileFrame(i)) << count << " " << i;
            // The masks cover the whole row on both sides of the window.
            const QRect left = strip.leftMaskFrame().translated(strip.overlayFrame().topLeft());
            const QRect right = strip.rightMaskFrame().translated(strip.overlayFrame().topLeft());
            ASSERT_LE(left.left(), 0);
            ASSERT_EQ(left.right() + 1, window.left());
            ASSERT_EQ(right.left(), window.right() + 1);
            ASSERT_GE(right.right() + 1, strip.contentWidth());
        }
    }
}

TEST(ThumbnailStrip, SelectionStaysWithinTheTiles)
{
    ThumbnailStrip strip;
    strip.reload(5);
    EXPECT_EQ(strip.select(3), 3);
    EXPECT_EQ(strip.select(9), 4);
    EXPECT_EQ(strip.select(-1), 0);
    strip.reload(0);
    EXPECT_EQ(strip.select(2), 0);
    EXPECT_TRUE(strip.visibleRange(0).isEmpty());
    strip.reload(7);
    EXPECT_EQ(strip.selectedIndex(), 0);  // a new list starts framed at 0
}

TEST(ThumbnailStrip, ScrollingShowsATileWithTheLeastMove)
{
    ThumbnailStrip strip;
    strip.reload(20);
    EXPECT_EQ(strip.offsetToShow(19, 0), 1281);          // right edges meet: 2305 - 1024
    EXPECT_EQ(strip.offsetToShow(3, 0), 0);             // wholly visible: no scroll
    EXPECT_EQ(strip.offsetToShow(8, 0), 16);            // cut on the right (920..1040): just enough
    EXPECT_EQ(strip.offsetToShow(2, 500), 230);         // cut or hidden on the left: its left edge
    EXPECT_EQ(strip.offsetToShow(0, 1281), 0);
    EXPECT_EQ(strip.offsetToShow(12, 1281), 1281);

    strip.reload(5);  // a row that does not scroll never moves
    EXPECT_EQ(strip.offsetToShow(4, 0), 0);
}

TEST(ThumbnailStrip, VisibleRangeHoldsTheTilesInTheWindow)
{
    ThumbnailStrip strip;
    strip.reload(20);
    auto range = strip.visibleRange(0);
    EXPECT_EQ(range.first, 0);
    EXPECT_EQ(range.last, 8);  // tile 8 starts at 920 < 1024
    range = strip.visibleRange(120);
    EXPECT_EQ(range.first, 1);  // tile 0 ends at 120
    range = strip.visibleRange(1281, 2);
    EXPECT_EQ(range.first, 9);  // from tile 11, two more
    EXPECT_EQ(range.last, 19);
    strip.reload(3);
    range = strip.visibleRange(0, 2);
    EXPECT_EQ(range.first, 0);
    EXPECT_EQ(range.last, 2);
}
