#pragma once

class PavPhotoThumbnailListView_iPad;

// Told which thumbnail the user picked (and, on loading, the first one).
class PavPhotoThumbnailListViewDelegate_iPad {
public:
    virtual ~PavPhotoThumbnailListViewDelegate_iPad() = default;
    virtual void photoThumbnailListViewDidSelectAtIndex(PavPhotoThumbnailListView_iPad* view, int index) = 0;
};
