#pragma once

#include "disk/DiskFile.h"

class PavCloudPhotoScrollView_iPad;

// What the cloud photo paging view asks of its data source.
class PavCloudPhotoScrollViewDataSource_iPad {
public:
    virtual ~PavCloudPhotoScrollViewDataSource_iPad() = default;
    virtual int pageCountForPhotoScrollView(PavCloudPhotoScrollView_iPad* view) = 0;
    virtual DiskFilePtr photoScrollViewPhotoModelAtIndex(PavCloudPhotoScrollView_iPad* view, int index) = 0;
    virtual int beginPageIndexForPhotoScrollView(PavCloudPhotoScrollView_iPad* view) = 0;
};
