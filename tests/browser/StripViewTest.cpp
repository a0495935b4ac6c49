#include "albums/browser/PavPhotoThumbnailListView_iPad.h"
#include "albums/browser/PavPhotoThumbnailView_iPad.h"
#include "platform/ui/Animations.h"
#include "support/EventLoop.h"
#include "support/Tap.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

class StripSource : public PavPhotoThumbnailListViewDataSource_iPad, public PavPhotoThumbnailListViewDelegate_iPad {
public:
    int countForPhotoThumbnailListView(PavPhotoThumbnailListView_iPad*) override { return 12; }
    ImageJob photoThumbnailListViewThumbnailAtIndex(PavPhotoThumbnailListView_iPad*, int) override
    {
        return [] {
            QImage image(110, 110, QImage::Format_RGB32);
            image.fill(Qt::darkCyan);
            return image;
        };
    }
    int beginPageIndexForPhotoThumbnailListView(PavPhotoThumbnailListView_iPad*) override { return 2; }
    void photoThumbnailListViewDidSelectAtIndex(PavPhotoThumbnailListView_iPad*, int index) override
    {
        told.push_back(index);
    }
    std::vector<int> told;
};

}

TEST(PhotoThumbnailListView, ATapTellsTheDelegateOnceAndSelectAtIndexTellsNobody)
{
    ui::Animations::setEnabled(false);
    StripSource source;
    PavPhotoThumbnailListView_iPad strip(QRect(0, 0, 1024, 128));
    strip.setDataSource(&source);
    strip.setDelegate(&source);
    strip.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&strip));
    strip.reloadDataSource();
    EXPECT_EQ(source.told, std::vector<int>{2});  // the first index, on loading

    // A real click on the fourth tile.
    PavPhotoThumbnailView_iPad* tile = strip.tileAt(3);
    ASSERT_NE(tile, nullptr);
    tapAt(&strip, tile->mapTo(&strip, tile->rect().center()));
    EXPECT_EQ(source.told, (std::vector<int>{2, 3}));
    EXPECT_EQ(strip.selectedIndex(), 3);

    strip.selectAtIndex(7, false);
    EXPECT_EQ(strip.selectedIndex(), 7);
    EXPECT_EQ(source.told, (std::vector<int>{2, 3}));
    ui::Animations::setEnabled(true);
}
