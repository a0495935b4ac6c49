#pragma once

#include "albums/widgets/ImageLoadPool.h"

class PavSystemPhotoScrollView;

// What the device photo paging view asks of its data source. The image
// answers are readings run off the GUI thread (empty or returning a null
// image when there is none).
class PavPhotoScrollViewDataSource {
public:
    virtual ~PavPhotoScrollViewDataSource() = default;
    virtual int pagesForPhotoScrollView(PavSystemPhotoScrollView* view) = 0;
    virtual int beginPageForPhotoScrollView(PavSystemPhotoScrollView* view) = 0;
    // The page's placeholder (a small aspect-ratio thumbnail).
    virtual ImageJob photoScrollViewThumbnailAtIndex(PavSystemPhotoScrollView* view, int index) = 0;
    // The large picture shown in the zooming view.
    virtual ImageJob photoScrollViewFullScreenImageAtIndex(PavSystemPhotoScrollView* view, int index) = 0;
    // The full-resolution picture; the view itself never asks for it.
    virtual ImageJob photoScrollViewFullResolutionImageAtIndex(PavSystemPhotoScrollView* view, int index) = 0;
};
