#pragma once

#include "albums/widgets/ImageLoadPool.h"
#include "albums/browser/PavPhotoThumbnailListViewDataSource_iPad.h"
#include "albums/browser/PavPhotoThumbnailListViewDelegate_iPad.h"
#include "albums/browser/ThumbnailStripView.h"
#include "platform/core/DelegateRef.h"

// The thumbnail strip of the device and private photo browsers: tiles
// filled with the data source's thumbnails, read on a small bounded pool.
class PavPhotoThumbnailListView_iPad : public ThumbnailStripView {
    Q_OBJECT
public:
    explicit PavPhotoThumbnailListView_iPad(const QRect& frame, QWidget* parent = nullptr);
    ~PavPhotoThumbnailListView_iPad() override;

    PavPhotoThumbnailListViewDataSource_iPad* dataSource() const { return m_dataSource.get(); }
    void setDataSource(PavPhotoThumbnailListViewDataSource_iPad* dataSource) { m_dataSource.reset(dataSource); }
    PavPhotoThumbnailListViewDelegate_iPad* delegate() const { return m_delegate.get(); }
    void setDelegate(PavPhotoThumbnailListViewDelegate_iPad* delegate) { m_delegate.reset(delegate); }

protected:
    int stripCount() override;
    int stripBeginIndex() override;
    void notifyDidSelect(int index) override;
    void loadTile(PavPhotoThumbnailView_iPad* tile, int index) override;

private:
    DelegateRef<PavPhotoThumbnailListViewDataSource_iPad> m_dataSource;
    DelegateRef<PavPhotoThumbnailListViewDelegate_iPad> m_delegate;
    ImageLoadPool m_loader{3, "StripThumbnails"};
};
