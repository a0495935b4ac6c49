#include "albums/browser/PavCloudPhotoThumbnailView_iPad.h"

#include "disk/DiskManager.h"
#include "platform/media/ImageCodec.h"
#include "platform/ui/ImageView.h"

#include <QFileInfo>

PavCloudPhotoThumbnailView_iPad::PavCloudPhotoThumbnailView_iPad(const QRect& frame, DiskFilePtr file,
                                                                 DiskManager* disk, QWidget* parent)
    : PavPhotoThumbnailView_iPad(frame, parent), m_photo(std::move(file))
{
    if (m_photo && !showCachedThumbnail(m_photo) && disk)
        disk->requestDownloadThumbnail(m_photo, this);
}

bool PavCloudPhotoThumbnailView_iPad::showCachedThumbnail(const DiskFilePtr& file)
{
    const QString path = file->file_path() + ".thumb";
    if (file->file_path().isEmpty() || !QFileInfo::exists(path))
        return false;
    // A 128-point square: small enough to read here.
    const QImage image = ImageCodec::decodeFile(path);
    setThumbnail(image);
    return !image.isNull();
}

void PavCloudPhotoThumbnailView_iPad::thumbnailDownloadSuccess(const DiskFilePtr& file)
{
    if (file == m_photo)
        showCachedThumbnail(file);
}

void PavCloudPhotoThumbnailView_iPad::thumbnailDonwloadFail(const DiskFilePtr& file, const DiskError& error)
{
    Q_UNUSED(error);
    if (file != m_photo)
        return;
    m_failed = true;
    showLoadFailed();
}
