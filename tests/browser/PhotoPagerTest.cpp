#include "albums/browser/PageRecycler.h"
#include "albums/browser/PhotoPager.h"
#include "albums/browser/PhotoZoom.h"

#include "support/ImageFixtures.h"

#include <gtest/gtest.h>

#include <map>

using Move = PhotoPager::Move;
using Slots = std::vector<PhotoPager::Slot>;

TEST(PhotoPager, FewerThanFourPhotosHaveOneScreenEach)
{
    PhotoPager pager;
    ASSERT_TRUE(pager.reload(3, 2));
    EXPECT_EQ(pager.screenCount(), 3);
    EXPECT_EQ(pager.screenIndex(), 2);
    EXPECT_EQ(pager.pageSlots(), (Slots{{0, 0}, {1, 1}, {2, 2}}));

    EXPECT_EQ(pager.settle(1), Move::Jump);  // a swipe left shows the second photo
    EXPECT_EQ(pager.selectedIndex(), 1);
    EXPECT_EQ(pager.screenIndex(), 1);
    EXPECT_EQ(pager.settle(1), Move::None);  // settled where it was

    ASSERT_TRUE(pager.reload(1, 0));
    EXPECT_EQ(pager.screenCount(), 1);
    EXPECT_EQ(pager.settle(0), Move::None);
}

TEST(PhotoPager, ThreeRecycledScreensFromFourPhotos)
{
    PhotoPager pager;
    ASSERT_TRUE(pager.reload(10, 0));
    EXPECT_EQ(pager.screenCount(), 3);
    EXPECT_EQ(pager.screenIndex(), 0);
    EXPECT_EQ(pager.pageSlots(), (Slots{{0, 0}, {1, 1}}));  // nothing on screen 2

    EXPECT_EQ(pager.settle(1), Move::Right);
    EXPECT_EQ(pager.selectedIndex(), 1);
    EXPECT_EQ(pager.screenIndex(), 1);
    EXPECT_EQ(pager.pageSlots(), (Slots{{0, 0}, {1, 1}, {2, 2}}));

    ASSERT_TRUE(pager.reload(10, 4));
    EXPECT_EQ(pager.screenIndex(), 1);
    EXPECT_EQ(pager.pageSlots(), (Slots{{0, 3}, {1, 4}, {2, 5}}));
    EXPECT_EQ(pager.settle(2), Move::Right);
    EXPECT_EQ(pager.pageSlots(), (Slots{{0, 4}, {1, 5}, {2, 6}}));  // back on the middle screen

    ASSERT_TRUE(pager.reload(10, 8));
    EXPECT_EQ(pager.settle(2), Move::Right);
    EXPECT_EQ(pager.selectedIndex(), 9);
    EXPECT_EQ(pager.screenIndex(), 2);
    EXPECT_EQ(pager.pageSlots(), (Slots{{1, 8}, {2, 9}}));  // no page after the last, none two away
    EXPECT_EQ(pager.photoAtScreen(3), -1);

    EXPECT_EQ(pager.settle(1), Move::Left);  // from the last, back to the ninth
    EXPECT_EQ(pager.selectedIndex(), 8);
    EXPECT_EQ(pager.screenIndex(), 1);
}

TEST(PhotoPager, WalkingTheWholeListStepsOnePhotoAtATime)
{
    PhotoPager pager;
    const int pages = 7;
    ASSERT_TRUE(pager.reload(pages, 0));
    for (int expected = 1; expected < pages; ++expected) {
        ASSERT_NE(pager.settle(pager.screenIndex() + 1), Move::None);
        ASSERT_EQ(pager.selectedIndex(), expected);
        ASSERT_EQ(pager.photoAtScreen(pager.screenIndex()), expected);
        ASSERT_LE(pager.pageSlots().size(), 3u);
    }
    EXPECT_EQ(pager.settle(pager.screenIndex() + 1), Move::None);  // nothing beyond the last
    for (int expected = pages - 2; expected >= 0; --expected) {
        ASSERT_EQ(pager.settle(pager.screenIndex() - 1), Move::Left);
        ASSERT_EQ(pager.selectedIndex(), expected);
    }
    EXPECT_EQ(pager.screenIndex(), 0);
}

TEST(PhotoPager, AFlingAcrossTwoScreensMovesOnePhoto)
{
    PhotoPager pager;
    ASSERT_TRUE(pager.reload(10, 0));
    EXPECT_EQ(pager.settle(2), Move::Right);
    EXPECT_EQ(pager.selectedIndex(), 1);
    EXPECT_EQ(pager.settle(7), Move::Right);  // a screen past the content counts as the last
    EXPECT_EQ(pager.selectedIndex(), 2);
}

TEST(PhotoPager, BeginOutsideTheListShowsTheFirstPhoto)
{
    PhotoPager pager;
    ASSERT_TRUE(pager.reload(5, -1));  // a photo that is not in the list
    EXPECT_EQ(pager.selectedIndex(), 0);
    ASSERT_TRUE(pager.reload(5, 5));
    EXPECT_EQ(pager.selectedIndex(), 0);
    EXPECT_FALSE(pager.reload(0, 3));
    EXPECT_TRUE(pager.pageSlots().empty());
    EXPECT_EQ(pager.settle(1), Move::None);
    EXPECT_FALSE(pager.isCurrent(0, pager.generation()));  // nothing is shown
}

TEST(PhotoPager, EveryChangeOfTheShownPhotoMakesOlderAnswersStale)
{
    PhotoPager pager;
    pager.reload(10, 3);
    const quint64 first = pager.generation();
    EXPECT_TRUE(pager.isCurrent(3, first));
    EXPECT_FALSE(pager.isCurrent(4, first));

    pager.settle(pager.screenIndex());  // no change: answers stay wanted
    EXPECT_TRUE(pager.isCurrent(3, first));

    pager.settle(2);
    pager.settle(0);  // back on photo 3, but a later visit
    EXPECT_EQ(pager.selectedIndex(), 3);
    EXPECT_FALSE(pager.isCurrent(3, first));
    EXPECT_TRUE(pager.isCurrent(3, pager.generation()));

    const quint64 beforeReload = pager.generation();
    pager.reload(10, 3);  // the same photo reloaded
    EXPECT_FALSE(pager.isCurrent(3, beforeReload));
}

TEST(PhotoZoom, MaximumScaleReachesThePicturesOwnSize)
{
    const QSizeF phone(320, 480);
    EXPECT_DOUBLE_EQ(PhotoZoom::maximumScale({3264, 2448}, ImageOrientation::Up, phone), 10.2);
    EXPECT_DOUBLE_EQ(PhotoZoom::maximumScale({200, 300}, ImageOrientation::Up, phone), 1.0);
    // Sideways pictures measure their sides against the turned view.
    EXPECT_DOUBLE_EQ(PhotoZoom::maximumScale({3264, 2448}, ImageOrientation::Right, phone), 2448.0 / 320);
    EXPECT_DOUBLE_EQ(PhotoZoom::maximumScale({2048, 1536}, ImageOrientation::Up, {1024, 768}), 2.0);
    EXPECT_DOUBLE_EQ(PhotoZoom::maximumScale({}, ImageOrientation::Up, {1024, 768}), 1.0);
}

TEST(PhotoZoom, DoubleTapCentresTheTappedPointWithinTheEdges)
{
    const QSizeF frame(1024, 768);
    EXPECT_EQ(PhotoZoom::offsetForTap({512, 384}, 2.0, frame), QPointF(512, 384));
    EXPECT_EQ(PhotoZoom::offsetForTap({10, 10}, 2.0, frame), QPointF(0, 0));
    EXPECT_EQ(PhotoZoom::offsetForTap({1020, 760}, 2.0, frame), QPointF(1024, 768));
    EXPECT_EQ(PhotoZoom::offsetForTap({500, 300}, 1.0, frame), QPointF(0, 0));  // nothing to zoom
}

TEST(PhotoZoom, TheUprightSizeComesFromTheHeaderWithItsOrientation)
{
    const QByteArray jpeg = ImageFixtures::jpeg(400, 300);
    EXPECT_EQ(PhotoZoom::uprightSize(jpeg), QSize(400, 300));
    // Turned a quarter by its EXIF orientation (6: shown rotated right).
    EXPECT_EQ(PhotoZoom::uprightSize(ImageFixtures::withExif(jpeg, {}, {}, {}, 6)), QSize(300, 400));
    EXPECT_EQ(PhotoZoom::uprightSize(ImageFixtures::plainPng(20000, 20000, Qt::red)), QSize(20000, 20000));
    EXPECT_FALSE(PhotoZoom::uprightSize("no picture").isValid());
}

TEST(PhotoZoom, ASharperDecodeIsAskedOnlyPastTheDecodedResolutionAndStaysBounded)
{
    const QSizeF screen(1024, 768);
    const QSize original(4000, 3000);
    // Decoded at 2048 x 1536 for the screen: enough up to zoom 2.
    EXPECT_FALSE(PhotoZoom::sharperSize(original, {2048, 1536}, screen, 1.0).isValid());
    EXPECT_FALSE(PhotoZoom::sharperSize(original, {2048, 1536}, screen, 2.0).isValid());
    EXPECT_EQ(PhotoZoom::sharperSize(original, {2048, 1536}, screen, 2.5), QSize(2560, 1920));
    // Never past the original.
    EXPECT_EQ(PhotoZoom::sharperSize(original, {2048, 1536}, screen, 10.0), original);
    EXPECT_FALSE(PhotoZoom::sharperSize(original, original, screen, 10.0).isValid());
    // A very large picture: at most the largest full decode (16 Mpx).
    const QSize huge = PhotoZoom::sharperSize({20000, 20000}, {1536, 1536}, screen, 26.0);
    EXPECT_EQ(huge, QSize(4096, 4096));
}

TEST(PageRecycler, KeepsTheViewsOfPhotosStillInTheWindow)
{
    int made = 0;
    std::map<int, int> screenOf;  // view -> screen
    std::vector<int> dropped;
    PageRecycler<int> pages([&](int photo) { return 100 * ++made + photo; },
                            [&](int view, int screen) { screenOf[view] = screen; },
                            [&](int view) { dropped.push_back(view); });
    PhotoPager pager;
    pager.reload(10, 4);
    pages.sync(pager.pageSlots());
    EXPECT_EQ(made, 3);
    const int five = pages.viewForPhoto(5);
    EXPECT_EQ(screenOf[five], 2);

    pager.settle(2);
    pages.sync(pager.pageSlots());
    EXPECT_EQ(made, 4);  // only photo 6 is new
    EXPECT_EQ(pages.viewForPhoto(5), five);
    EXPECT_EQ(screenOf[five], 1);
    EXPECT_EQ(dropped, (std::vector<int>{103}));  // photo 3's view
    EXPECT_EQ(pages.count(), 3);

    pages.clear();
    EXPECT_EQ(dropped.size(), 4u);
    EXPECT_EQ(pages.viewForPhoto(5), 0);
}
