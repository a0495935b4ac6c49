#pragma once

#include <QImage>

#include <gtest/gtest.h>

class PavPhotoBrowserController_iPad;
class ThumbnailStripView;
class QWidget;

// What a browser on `canvas` shows: `photo`, fitted to the 1024 x 768
// screen, fills the area between the bars, and both bars are shown over it.
::testing::AssertionResult showsPhotoWithBars(QWidget* canvas, PavPhotoBrowserController_iPad* browser,
                                              const QImage& photo);

// Whether the strip's first `count` tiles all show their thumbnails.
bool tilesHaveThumbnails(const ThumbnailStripView* strip, int count);
