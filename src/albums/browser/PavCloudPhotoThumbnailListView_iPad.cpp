#include "albums/browser/PavCloudPhotoThumbnailListView_iPad.h"

#include "albums/browser/PavCloudPhotoThumbnailView_iPad.h"
#include "disk/DiskManager.h"

PavCloudPhotoThumbnailListView_iPad::PavCloudPhotoThumbnailListView_iPad(const QRect& frame, DiskManager* disk,
                                                                         QWidget* parent)
    : ThumbnailStripView(frame, parent), m_disk(disk ? disk : &DiskManager::shareDiskManager())
{
}

PavCloudPhotoThumbnailListView_iPad::~PavCloudPhotoThumbnailListView_iPad() = default;

int PavCloudPhotoThumbnailListView_iPad::stripCount()
{
    return m_dataSource ? m_dataSource->countForPhotoThumbnailListView(this) : 0;
}

int PavCloudPhotoThumbnailListView_iPad::stripBeginIndex()
{
    return m_dataSource ? m_dataSource->beginPageIndexForPhotoThumbnailListView(this) : 0;
}

void PavCloudPhotoThumbnailListView_iPad::notifyDidSelect(int index)
{
    if (m_delegate)
        m_delegate->photoThumbnailListViewDidSelectAtIndex(this, index);
}

PavPhotoThumbnailView_iPad* PavCloudPhotoThumbnailListView_iPad::makeTile(const QRect& frame, int index)
{
    DiskFilePtr file = m_dataSource ? m_dataSource->photoThumbnailListViewPhotoModelAtIndex(this, index) : nullptr;
    return new PavCloudPhotoThumbnailView_iPad(frame, std::move(file), m_disk);
}

void PavCloudPhotoThumbnailListView_iPad::loadTile(PavPhotoThumbnailView_iPad* tile, int index)
{
    Q_UNUSED(tile);
    Q_UNUSED(index);  // a cloud tile loads its own thumbnail when it is made
}
