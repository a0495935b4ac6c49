#pragma once

#include "albums/widgets/ImageLoadPool.h"

class PavPhotoThumbnailListView_iPad;

// What a thumbnail strip asks of its data source.
class PavPhotoThumbnailListViewDataSource_iPad {
public:
    virtual ~PavPhotoThumbnailListViewDataSource_iPad() = default;
    virtual int countForPhotoThumbnailListView(PavPhotoThumbnailListView_iPad* view) = 0;
    // The reading of a tile's square thumbnail, run off the GUI thread.
    virtual ImageJob photoThumbnailListViewThumbnailAtIndex(PavPhotoThumbnailListView_iPad* view, int index) = 0;
    virtual int beginPageIndexForPhotoThumbnailListView(PavPhotoThumbnailListView_iPad* view) = 0;
};
