#include "support/BrowserScreen.h"

#include "albums/browser/PavPhotoBrowserController_iPad.h"
#include "albums/browser/PavPhotoThumbnailView_iPad.h"
#include "albums/browser/PhotoPagerView.h"
#include "albums/browser/ThumbnailStripView.h"
#include "support/EventLoop.h"
#include "support/Screenshot.h"

#include "platform/ui/ScrollView.h"

#include <QTest>
#include <QWidget>
#include <QWindow>

namespace {

::testing::AssertionResult showsPhotoWithBarsNow(QWidget* canvas, PavPhotoBrowserController_iPad* browser,
                                                 const QImage& photo)
{
    const QImage shot = canvas->grab().toImage();
    const QImage fitted = photo.scaled(1024, 768, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    const double middle = meanDifference(shot, fitted, QRect(100, 200, 824, 300));
    const double top = meanDifference(shot, fitted, QRect(100, 0, 824, 40));
    if (middle >= 12)
        return ::testing::AssertionFailure() << "the photo area differs from the photo by " << middle;
    if (browser->isFullScreen() || !browser->topView()->isVisible() || !browser->bottomView()->isVisible())
        return ::testing::AssertionFailure() << "the bars are hidden";
    if (top < 12)
        return ::testing::AssertionFailure() << "no bar over the top of the photo";
    return ::testing::AssertionSuccess();
}

}

::testing::AssertionResult showsPhotoWithBars(QWidget* canvas, PavPhotoBrowserController_iPad* browser,
                                              const QImage& photo, int timeoutMs)
{
    // The zoom view lays its picture out on a later turn of the event loop;
    // on a busy machine the first grab may come before that.
    ::testing::AssertionResult last = ::testing::AssertionFailure();
    waitUntil([&] { return bool(last = showsPhotoWithBarsNow(canvas, browser, photo)); }, timeoutMs);
    return last;
}

bool tilesHaveThumbnails(const ThumbnailStripView* strip, int count)
{
    for (int i = 0; i < count; ++i) {
        if (!strip->tileAt(i) || !strip->tileAt(i)->hasThumbnail())
            return false;
    }
    return true;
}

::testing::AssertionResult aZoomedFlingHidesTheBars(QWidget* canvas, PavPhotoBrowserController_iPad* browser,
                                                    PhotoPagerView* pager)
{
    if (browser->isFullScreen())
        return ::testing::AssertionFailure() << "the bars were hidden before";
    const int photo = pager->selectedIndex();
    pager->doubleClicked(QPoint(512, 384));
    if (pager->detailScrollView()->zoomScale() <= 1.0)
        return ::testing::AssertionFailure() << "the picture cannot be zoomed";
    QWindow* window = canvas->windowHandle();
    QTest::mousePress(window, Qt::LeftButton, {}, QPoint(700, 400), 0);
    for (int x = 660; x >= 400; x -= 40)
        QTest::mouseMove(window, QPoint(x, 400), 10);
    QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(400, 400), 10);
    if (pager->selectedIndex() != photo)
        return ::testing::AssertionFailure() << "the page moved, not the picture";
    if (!browser->isFullScreen())
        return ::testing::AssertionFailure() << "the bars stayed";
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult showsFineLinesAveraged(QWidget* canvas, const QString& fileName)
{
    const QString saved = saveScreenshot(canvas, fileName);
    if (saved.isEmpty())
        return ::testing::AssertionFailure() << "no screenshot " << fileName.toStdString();
    const auto [darkest, lightest] = greyRange(QImage(saved), QRect(300, 250, 160, 100));
    if (darkest > 70 && lightest < 185)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the lines show greys from " << darkest << " to " << lightest;
}
