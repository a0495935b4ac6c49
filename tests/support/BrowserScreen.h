#pragma once

#include <QImage>
#include <QString>

#include <gtest/gtest.h>

class PavPhotoBrowserController_iPad;
class PhotoPagerView;
class ThumbnailStripView;
class QWidget;

// What a browser on `canvas` comes to show within `timeoutMs`: `photo`,
// fitted to the 1024 x 768 screen, fills the area between the bars, and
// both bars are shown over it. The last difference seen is reported.
::testing::AssertionResult showsPhotoWithBars(QWidget* canvas, PavPhotoBrowserController_iPad* browser,
                                              const QImage& photo, int timeoutMs = 3000);

// Whether the strip's first `count` tiles all show their thumbnails.
bool tilesHaveThumbnails(const ThumbnailStripView* strip, int count);

// Zooms the shown picture in by a double tap in its middle and flings it
// right to left (a short quick drag): the bars must be hidden afterwards and
// the same photo still shown.
::testing::AssertionResult aZoomedFlingHidesTheBars(QWidget* canvas, PavPhotoBrowserController_iPad* browser,
                                                    PhotoPagerView* pager);

// A picture of ImageFixtures::fineLines fitted to the 1024 x 768 screen:
// whether its block of one-pixel lines is drawn on `canvas` averaged to grey
// (no pixel near black or white), as `fileName` saves it.
::testing::AssertionResult showsFineLinesAveraged(QWidget* canvas, const QString& fileName);
