#pragma once

class PavSystemPhotoScrollView;

// What the device photo paging view tells its delegate.
class PavPhotoScrollViewDelegate {
public:
    virtual ~PavPhotoScrollViewDelegate() = default;
    // The photo at index is now the shown one.
    virtual void photoScrollViewDidSelectAtIndex(PavSystemPhotoScrollView* view, int index) = 0;
    // A swipe was released.
    virtual void photoScrollViewWillBeginDecelerating(PavSystemPhotoScrollView* view) { (void)view; }
};
