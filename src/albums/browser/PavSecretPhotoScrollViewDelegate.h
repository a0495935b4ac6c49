#pragma once

class PavSecretPhotoScrollView;

// What the private photo pager tells its delegate.
class PavSecretPhotoScrollViewDelegate {
public:
    virtual ~PavSecretPhotoScrollViewDelegate() = default;
    // The pager shows the item at index.
    virtual void photoScrollViewDidSelectAtIndex(PavSecretPhotoScrollView* view, int index) = 0;
    // A swipe was released.
    virtual void photoScrollViewWillBeginDecelerating(PavSecretPhotoScrollView* view) { (void)view; }
};
