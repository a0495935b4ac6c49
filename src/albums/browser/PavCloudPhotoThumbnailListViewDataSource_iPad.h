#pragma once

#include "disk/DiskFile.h"

class PavCloudPhotoThumbnailListView_iPad;

// What the cloud thumbnail strip asks of its data source.
class PavCloudPhotoThumbnailListViewDataSource_iPad {
public:
    virtual ~PavCloudPhotoThumbnailListViewDataSource_iPad() = default;
    virtual int countForPhotoThumbnailListView(PavCloudPhotoThumbnailListView_iPad* view) = 0;
    virtual DiskFilePtr photoThumbnailListViewPhotoModelAtIndex(PavCloudPhotoThumbnailListView_iPad* view,
                                                                int index) = 0;
    virtual int beginPageIndexForPhotoThumbnailListView(PavCloudPhotoThumbnailListView_iPad* view) = 0;
};
