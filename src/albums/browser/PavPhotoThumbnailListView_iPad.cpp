#include "albums/browser/PavPhotoThumbnailListView_iPad.h"

#include "albums/browser/PavPhotoThumbnailView_iPad.h"

#include <QPointer>

PavPhotoThumbnailListView_iPad::PavPhotoThumbnailListView_iPad(const QRect& frame, QWidget* parent)
    : ThumbnailStripView(frame, parent)
{
}

PavPhotoThumbnailListView_iPad::~PavPhotoThumbnailListView_iPad() = default;

int PavPhotoThumbnailListView_iPad::stripCount()
{
    return m_dataSource ? m_dataSource->countForPhotoThumbnailListView(this) : 0;
}

int PavPhotoThumbnailListView_iPad::stripBeginIndex()
{
    return m_dataSource ? m_dataSource->beginPageIndexForPhotoThumbnailListView(this) : 0;
}

void PavPhotoThumbnailListView_iPad::notifyDidSelect(int index)
{
    if (m_delegate)
        m_delegate->photoThumbnailListViewDidSelectAtIndex(this, index);
}

void PavPhotoThumbnailListView_iPad::loadTile(PavPhotoThumbnailView_iPad* tile, int index)
{
    if (!m_dataSource)
        return;
    QPointer<PavPhotoThumbnailView_iPad> guard(tile);
    m_loader.load(tile, m_dataSource->photoThumbnailListViewThumbnailAtIndex(this, index), {},
                  [guard](const QImage& image) {
                      if (!guard)
                          return;
                      if (image.isNull())
                          guard->showLoadFailed();
                      else
                          guard->setThumbnail(image);
                  });
}
