#pragma once

#include "albums/browser/PavCloudPhotoThumbnailListViewDataSource_iPad.h"
#include "albums/browser/PavCloudPhotoThumbnailListViewDelegate_iPad.h"
#include "albums/browser/ThumbnailStripView.h"
#include "platform/core/DelegateRef.h"

class DiskManager;

// The cloud photo browser's thumbnail strip: the shared strip whose tiles
// are cloud files, each loading its own thumbnail through the disk facade.
class PavCloudPhotoThumbnailListView_iPad : public ThumbnailStripView {
    Q_OBJECT
public:
    // disk defaults to the application's disk facade.
    explicit PavCloudPhotoThumbnailListView_iPad(const QRect& frame, DiskManager* disk = nullptr,
                                                 QWidget* parent = nullptr);
    ~PavCloudPhotoThumbnailListView_iPad() override;

    PavCloudPhotoThumbnailListViewDataSource_iPad* dataSource() const { return m_dataSource.get(); }
    void setDataSource(PavCloudPhotoThumbnailListViewDataSource_iPad* dataSource) { m_dataSource.reset(dataSource); }
    PavCloudPhotoThumbnailListViewDelegate_iPad* delegate() const { return m_delegate.get(); }
    void setDelegate(PavCloudPhotoThumbnailListViewDelegate_iPad* delegate) { m_delegate.reset(delegate); }

protected:
    int stripCount() override;
    int stripBeginIndex() override;
    void notifyDidSelect(int index) override;
    PavPhotoThumbnailView_iPad* makeTile(const QRect& frame, int index) override;
    void loadTile(PavPhotoThumbnailView_iPad* tile, int index) override;

private:
    DiskManager* m_disk;
    DelegateRef<PavCloudPhotoThumbnailListViewDataSource_iPad> m_dataSource;
    DelegateRef<PavCloudPhotoThumbnailListViewDelegate_iPad> m_delegate;
};
