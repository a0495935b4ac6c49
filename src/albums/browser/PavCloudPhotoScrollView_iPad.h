#pragma once

#include "albums/widgets/ImageLoadPool.h"
#include "albums/browser/PavCloudPhotoScrollViewDataSource_iPad.h"
#include "albums/browser/PavCloudPhotoScrollViewDelegate_iPad.h"
#include "albums/browser/PhotoPagerView.h"
#include "platform/core/DelegateRef.h"

#include <memory>

class DiskAnswerRelay;
class DiskManager;
class PavCloudPhotoLoadingView_iPad;

// The cloud album's paging view. The pages carry no pictures of their own:
// the screens around the shown photo carry loading views, and the shown
// photo is downloaded through the disk facade, with its percentage, then
// read from its local copy (off the GUI thread) into the zooming view. One
// photo downloads at a time: showing another asks for its download, then
// stops the one before (the same photo's keeps going).
// Answers for a photo no longer shown are dropped. Swipes are refused from
// the release of one until the new photo's download ended.
class PavCloudPhotoScrollView_iPad : public PhotoPagerView {
    Q_OBJECT
public:
    // The size a picture is fitted in at zoom 1 for its largest zoom.
    static constexpr double kZoomReferenceWidth = 320;
    static constexpr double kZoomReferenceHeight = 480;

    // disk defaults to the application's disk facade.
    explicit PavCloudPhotoScrollView_iPad(const QRect& frame, DiskManager* disk = nullptr, QWidget* parent = nullptr);
    ~PavCloudPhotoScrollView_iPad() override;

    PavCloudPhotoScrollViewDataSource_iPad* dataSource() const { return m_dataSource.get(); }
    void setDataSource(PavCloudPhotoScrollViewDataSource_iPad* dataSource) { m_dataSource.reset(dataSource); }
    PavCloudPhotoScrollViewDelegate_iPad* delegate() const { return m_delegate.get(); }
    void setDelegate(PavCloudPhotoScrollViewDelegate_iPad* delegate) { m_delegate.reset(delegate); }

    // The loading view of the shown screen (null before the first load).
    PavCloudPhotoLoadingView_iPad* loadingView() const { return m_loadingView; }
    // The loading views of the screens left and right of the shown one.
    PavCloudPhotoLoadingView_iPad* preLoadingView() const { return m_preLoadingView; }
    PavCloudPhotoLoadingView_iPad* nexLoadingView() const { return m_nexLoadingView; }
    // The photo whose download was asked for last.
    const DiskFilePtr& downloadingPhoto() const { return m_oldPhoto; }
    // Stops the shown photo's download (the browser closes).
    void stopDownload();

protected:
    int pageCountFromSource() override;
    int beginPageFromSource() override;
    void notifyDidSelect(int index) override;
    void notifyWillBeginDecelerating() override;
    void clearPages() override;
    void layoutPages(PhotoPager::Move move) override;
    void loadDetailImageView(int photo, quint64 generation) override;

private:
    void downloaded(int photo, quint64 generation, const DiskFilePtr& file);
    void failed(int photo, quint64 generation, const DiskError& error);
    void tellLoaded(const DiskError* error);

    DiskManager* m_disk;
    DelegateRef<PavCloudPhotoScrollViewDataSource_iPad> m_dataSource;
    DelegateRef<PavCloudPhotoScrollViewDelegate_iPad> m_delegate;
    PavCloudPhotoLoadingView_iPad* m_preLoadingView = nullptr;
    PavCloudPhotoLoadingView_iPad* m_loadingView = nullptr;
    PavCloudPhotoLoadingView_iPad* m_nexLoadingView = nullptr;
    DiskFilePtr m_oldPhoto;
    std::unique_ptr<DiskAnswerRelay> m_request;
    ImageLoadPool m_pictures{1, "CloudPictures"};
};
