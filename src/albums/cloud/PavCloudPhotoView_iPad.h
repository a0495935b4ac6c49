#pragma once

#include "albums/cloud/PavCloudPhotoViewDelegate.h"
#include "disk/DiskManagerDelegate.h"
#include "platform/core/DelegateRef.h"
#include "platform/ui/ImageButton.h"

class DiskManager;
class QLabel;

namespace ui {
class ImageView;
}

// A tile of the cloud album, 118 x 118: a photo as a framed thumbnail (from
// the cached ".thumb" file, else fetched through the disk) with a selection
// mark in edit mode, or a folder as a folder icon with its name. Thumbnail
// answers for another file, or arriving once the tile left its row, show the
// failure picture.
class PavCloudPhotoView_iPad : public ui::ImageButton, public DiskManagerDelegate {
    Q_OBJECT
public:
    enum Type { Photo = 0, Folder = 1 };

    PavCloudPhotoView_iPad(const QPoint& origin, CloudEntry entry, PavCloudPhotoViewDelegate* delegate,
                           DiskManager& disk, QWidget* parent = nullptr);

    const CloudEntry& fileOrDir() const { return m_entry; }
    int type() const { return m_entry.isFolder() ? Folder : Photo; }
    ui::ImageView* photoImageView() const { return m_photoImageView; }
    ui::ImageView* selectedView() const { return m_selectedView; }
    // The picture the thumbnail shows: the ".thumb" path or an image name.
    const QString& shownPicture() const { return m_shown; }

    void toggleSelection();
    void setSelectedAnimated(bool animated);
    void setDeselectedAnimated(bool animated);
    // Shows or hides the mark (edit mode) and matches it to the photo's flag.
    void refreshMark(bool editing);
    // Stops this tile's pending thumbnail download.
    void stopThumbnail();
    // The tile is shown again: a thumbnail that failed is asked for once more.
    void retryFailedThumbnail();

    // DiskManagerDelegate
    void thumbnailDownloadSuccess(const DiskFilePtr& file) override;
    void thumbnailDonwloadFail(const DiskFilePtr& file, const DiskError& error) override;

    static QString thumbnailPath(const DiskFilePtr& file);

private:
    // The cached ".thumb" file, else the loading picture and a request.
    void loadThumbnail();
    void showThumbnail(const QString& path);
    void showNamed(const QString& name);

    CloudEntry m_entry;
    DelegateRef<PavCloudPhotoViewDelegate> m_delegate;
    DiskManager& m_disk;
    ui::ImageView* m_photoImageView = nullptr;
    ui::ImageView* m_selectedView = nullptr;
    QLabel* m_nameLabel = nullptr;
    QString m_shown;
};
