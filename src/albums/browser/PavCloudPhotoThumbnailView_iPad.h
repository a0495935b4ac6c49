#pragma once

#include "albums/browser/PavPhotoThumbnailView_iPad.h"
#include "disk/DiskManagerDelegate.h"

class DiskManager;

// A tile of the cloud thumbnail strip that loads its own thumbnail: the
// ".thumb" file next to the photo's local copy when it is there, else a
// thumbnail download through the disk facade (the tile is its response
// object, so a tile that is gone hears nothing).
class PavCloudPhotoThumbnailView_iPad : public PavPhotoThumbnailView_iPad, public DiskManagerDelegate {
    Q_OBJECT
public:
    PavCloudPhotoThumbnailView_iPad(const QRect& frame, DiskFilePtr file, DiskManager* disk, QWidget* parent = nullptr);

    const DiskFilePtr& photo() const { return m_photo; }
    bool isFailed() const { return m_failed; }

    void thumbnailDownloadSuccess(const DiskFilePtr& file) override;
    void thumbnailDonwloadFail(const DiskFilePtr& file, const DiskError& error) override;

private:
    // Shows the file's ".thumb" image; false when there is none.
    bool showCachedThumbnail(const DiskFilePtr& file);

    DiskFilePtr m_photo;
    bool m_failed = false;
};
