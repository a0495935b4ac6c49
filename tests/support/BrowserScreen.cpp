#include "support/BrowserScreen.h"

#include "albums/browser/PavPhotoBrowserController_iPad.h"
#include "albums/browser/PavPhotoThumbnailView_iPad.h"
#include "albums/browser/ThumbnailStripView.h"
#include "support/EventLoop.h"
#include "support/Screenshot.h"

#include <QWidget>

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
