#pragma once

#include "albums/cloud/CloudAlbumListing.h"

// Told of taps on the cloud album's tiles.
class PavCloudPhotoViewDelegate {
public:
    virtual ~PavCloudPhotoViewDelegate() = default;
    // True in edit mode.
    virtual bool editStateOfCloudPhotoViewDelegate() = 0;
    // A tap outside edit mode (type 0 photo, 1 folder).
    virtual void cloudPhotoViewDidClick(const CloudEntry& entry, int type) { (void)entry, (void)type; }
    // A photo was checked or unchecked in edit mode.
    virtual void cloudPhotoViewSelected(const CloudEntry& entry, int type) { (void)entry, (void)type; }
};
