#pragma once

class PavCloudPhotoThumbnailListView_iPad;

// What the cloud thumbnail strip tells its delegate: the user picked a tile.
class PavCloudPhotoThumbnailListViewDelegate_iPad {
public:
    virtual ~PavCloudPhotoThumbnailListViewDelegate_iPad() = default;
    virtual void photoThumbnailListViewDidSelectAtIndex(PavCloudPhotoThumbnailListView_iPad* view, int index) = 0;
};
