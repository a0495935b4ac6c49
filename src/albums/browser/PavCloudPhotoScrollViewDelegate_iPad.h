#pragma once

#include "disk/DiskError.h"

class PavCloudPhotoScrollView_iPad;

// What the cloud photo paging view tells its delegate.
class PavCloudPhotoScrollViewDelegate_iPad {
public:
    virtual ~PavCloudPhotoScrollViewDelegate_iPad() = default;
    // The view shows the photo at index.
    virtual void photoScrollViewDidSelectAtIndex(PavCloudPhotoScrollView_iPad* view, int index) = 0;
    // The shown photo's picture is in (error null) or could not be had.
    virtual void photoScrollViewDidLoadPhoto(PavCloudPhotoScrollView_iPad* view, const DiskError* error)
    {
        (void)view, (void)error;
    }
    // A swipe (or a fling of the zoomed picture) was released.
    virtual void photoScrollViewWillBeginDecelerating(PavCloudPhotoScrollView_iPad* view) { (void)view; }
};
