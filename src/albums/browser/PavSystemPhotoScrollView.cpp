#include "albums/browser/PavSystemPhotoScrollView.h"

#include "albums/browser/PhotoZoom.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/ScrollView.h"

#include <QPointer>

PavSystemPhotoScrollView::PavSystemPhotoScrollView(const QRect& frame, QWidget* parent)
    : PhotoPagerView(frame, parent),
      m_pageViews([this](int photo) { return makePageView(photo); },
                  [this](ui::ImageView* view, int screen) { view->setGeometry(screenRect(screen)); },
                  [](ui::ImageView* view) { delete view; })
{
}

PavSystemPhotoScrollView::~PavSystemPhotoScrollView() = default;

int PavSystemPhotoScrollView::pageCountFromSource()
{
    return m_dataSource ? m_dataSource->pagesForPhotoScrollView(this) : 0;
}

int PavSystemPhotoScrollView::beginPageFromSource()
{
    return m_dataSource ? m_dataSource->beginPageForPhotoScrollView(this) : 0;
}

void PavSystemPhotoScrollView::notifyDidSelect(int index)
{
    if (m_delegate)
        m_delegate->photoScrollViewDidSelectAtIndex(this, index);
}

void PavSystemPhotoScrollView::notifyWillBeginDecelerating()
{
    if (m_delegate)
        m_delegate->photoScrollViewWillBeginDecelerating(this);
}

ui::ImageView* PavSystemPhotoScrollView::pageViewForPhoto(int photo) const
{
    return m_pageViews.viewForPhoto(photo);
}

void PavSystemPhotoScrollView::clearPages()
{
    m_pageViews.clear();
}

ui::ImageView* PavSystemPhotoScrollView::makePageView(int photo)
{
    auto* view = new ui::ImageView(containerScrollView()->contentWidget());
    view->setMode(ui::ImageView::Mode::AspectFit);
    view->show();
    view->lower();  // at the back of the container
    if (m_dataSource) {
        QPointer<ui::ImageView> guard(view);
        m_thumbnails.load(view, m_dataSource->photoScrollViewThumbnailAtIndex(this, photo), {},
                          [this, guard](const QImage& image) {
                              if (guard)
                                  guard->setImage(QPixmap::fromImage(image.isNull() ? failurePage() : image));
                          });
    }
    return view;
}

void PavSystemPhotoScrollView::layoutPages(PhotoPager::Move move)
{
    Q_UNUSED(move);
    m_pageViews.sync(pager().pageSlots());
}

void PavSystemPhotoScrollView::loadDetailImageView(int photo, quint64 generation)
{
    if (!m_dataSource)
        return;
    ImageJob job = m_dataSource->photoScrollViewFullScreenImageAtIndex(this, photo);
    if (!job) {
        detailFailed(photo, generation);
        return;
    }
    const QSizeF screen(screenWidth(), screenHeight());
    m_pictures.load(this, std::move(job), wantedTest(photo, generation),
                    [this, photo, generation, screen](const QImage& image) {
                        // A file that does not decode shows the failure page, unzoomable.
                        if (image.isNull()) {
                            showDetailImage(photo, generation, failurePage(), 1.0);
                            return;
                        }
                        // The picture comes upright, so its own sides count.
                        const double zoom = PhotoZoom::maximumScale(image.size(), ImageOrientation::Up, screen);
                        showDetailImage(photo, generation, image, zoom);
                    });
}
