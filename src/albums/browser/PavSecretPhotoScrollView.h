#pragma once

#include "albums/widgets/ImageLoadPool.h"
#include "albums/browser/PavSecretPhotoScrollViewDataSource.h"
#include "albums/browser/PavSecretPhotoScrollViewDelegate.h"
#include "albums/browser/PhotoPagerView.h"
#include "platform/core/DelegateRef.h"

#include <QPointer>

#include <vector>

class PavPhotoManager;
class ProgressView;

// The private album's paging view. Its items are enciphered files, so it
// holds one picture at most: the neighbour screens show loading
// placeholders, and only the shown item's picture is deciphered (on a small
// bounded pool) and decoded at the size shown into the zooming view (its
// zoom and the pause below follow the original picture's size); one
// that cannot be deciphered or decoded shows a black page with the failure
// picture. An answer for a page no longer
// shown is dropped. After a picture is in, swipes wait a little longer for
// large pictures, so the view settles before the next one.
class PavSecretPhotoScrollView : public PhotoPagerView {
    Q_OBJECT
public:
    // store defaults to the application's private album store.
    explicit PavSecretPhotoScrollView(const QRect& frame, PavPhotoManager* store = nullptr, QWidget* parent = nullptr);
    ~PavSecretPhotoScrollView() override;

    PavSecretPhotoScrollViewDataSource* dataSource() const { return m_dataSource.get(); }
    void setDataSource(PavSecretPhotoScrollViewDataSource* dataSource) { m_dataSource.reset(dataSource); }
    PavSecretPhotoScrollViewDelegate* delegate() const { return m_delegate.get(); }
    void setDelegate(PavSecretPhotoScrollViewDelegate* delegate) { m_delegate.reset(delegate); }

    // The pause before the next swipe once a picture of this size is in:
    // 0.8 s, plus 0.15 s per million pixels above one million.
    static int unlockDelayMs(QSize picture);

    int placeholderCount() const { return int(m_placeholders.size()); }

protected:
    int pageCountFromSource() override;
    int beginPageFromSource() override;
    void notifyDidSelect(int index) override;
    void notifyWillBeginDecelerating() override;
    void clearPages() override;
    void layoutPages(PhotoPager::Move move) override;
    void loadDetailImageView(int photo, quint64 generation) override;

private:
    void showPicture(int photo, quint64 generation, const QImage& image, QSize original);

    PavPhotoManager* m_store;
    DelegateRef<PavSecretPhotoScrollViewDataSource> m_dataSource;
    DelegateRef<PavSecretPhotoScrollViewDelegate> m_delegate;
    std::vector<QPointer<ProgressView>> m_placeholders;
    ImageLoadPool m_pictures{2, "SecretPictures"};
};
