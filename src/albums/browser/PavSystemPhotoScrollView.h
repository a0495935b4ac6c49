#pragma once

#include "albums/widgets/ImageLoadPool.h"
#include "albums/browser/PavPhotoScrollViewDataSource.h"
#include "albums/browser/PageRecycler.h"
#include "albums/browser/PavPhotoScrollViewDelegate.h"
#include "albums/browser/PhotoPagerView.h"
#include "platform/core/DelegateRef.h"


// The device photo browser's paging view: every page shows its small
// aspect-ratio thumbnail at once, and the shown page's large picture is read
// on the bounded pool into the zooming view. At most three page views live
// with four or more photos; they are kept, moved or made as the window moves.
class PavSystemPhotoScrollView : public PhotoPagerView {
    Q_OBJECT
public:
    explicit PavSystemPhotoScrollView(const QRect& frame, QWidget* parent = nullptr);
    ~PavSystemPhotoScrollView() override;

    PavPhotoScrollViewDataSource* dataSource() const { return m_dataSource.get(); }
    void setDataSource(PavPhotoScrollViewDataSource* dataSource) { m_dataSource.reset(dataSource); }
    PavPhotoScrollViewDelegate* delegate() const { return m_delegate.get(); }
    void setDelegate(PavPhotoScrollViewDelegate* delegate) { m_delegate.reset(delegate); }

    // The page view showing a photo (null when it has none now).
    ui::ImageView* pageViewForPhoto(int photo) const;
    // The page views left of, on and right of the shown page.
    ui::ImageView* preImageView() const { return pageViewForPhoto(selectedIndex() - 1); }
    ui::ImageView* currentImageView() const { return pageViewForPhoto(selectedIndex()); }
    ui::ImageView* nextImageView() const { return pageViewForPhoto(selectedIndex() + 1); }
    int pageViewCount() const { return m_pageViews.count(); }

protected:
    int pageCountFromSource() override;
    int beginPageFromSource() override;
    void notifyDidSelect(int index) override;
    void notifyWillBeginDecelerating() override;
    void clearPages() override;
    void layoutPages(PhotoPager::Move move) override;
    void loadDetailImageView(int photo, quint64 generation) override;

private:
    ui::ImageView* makePageView(int photo);

    DelegateRef<PavPhotoScrollViewDataSource> m_dataSource;
    DelegateRef<PavPhotoScrollViewDelegate> m_delegate;
    PageRecycler<ui::ImageView*> m_pageViews;
    ImageLoadPool m_thumbnails{2, "PageThumbnails"};
    ImageLoadPool m_pictures{2, "BrowserPictures"};
};
