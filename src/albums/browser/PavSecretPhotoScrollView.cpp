#include "albums/browser/PavSecretPhotoScrollView.h"

#include "Public/PavEncryptManager.h"
#include "Public/ProgressView.h"
#include "albums/browser/PhotoZoom.h"
#include "albums/store/PavPhotoManager.h"
#include "platform/ui/ScrollView.h"


PavSecretPhotoScrollView::PavSecretPhotoScrollView(const QRect& frame, PavPhotoManager* store, QWidget* parent)
    : PhotoPagerView(frame, parent), m_store(store ? store : &PavPhotoManager::sharedPavPhotoManager())
{
    reportZoomedFlings();
}

PavSecretPhotoScrollView::~PavSecretPhotoScrollView() = default;

int PavSecretPhotoScrollView::unlockDelayMs(QSize picture)
{
    const double area = double(std::max(0, picture.width())) * std::max(0, picture.height());
    if (area <= 1000000.0)
        return 800;
    return int(800 + area * 150.0 / 1000000.0);
}

int PavSecretPhotoScrollView::pageCountFromSource()
{
    return m_dataSource ? m_dataSource->pageCountForPhotoScrollView(this) : 0;
}

int PavSecretPhotoScrollView::beginPageFromSource()
{
    return m_dataSource ? m_dataSource->beginPageIndexForPhotoScrollView(this) : 0;
}

void PavSecretPhotoScrollView::notifyDidSelect(int index)
{
    if (m_delegate)
        m_delegate->photoScrollViewDidSelectAtIndex(this, index);
}

void PavSecretPhotoScrollView::notifyWillBeginDecelerating()
{
    if (m_delegate)
        m_delegate->photoScrollViewWillBeginDecelerating(this);
}

void PavSecretPhotoScrollView::clearPages()
{
    for (const QPointer<ProgressView>& view : m_placeholders)
        delete view.data();
    m_placeholders.clear();
}

void PavSecretPhotoScrollView::layoutPages(PhotoPager::Move move)
{
    Q_UNUSED(move);
    if (!m_placeholders.empty())
        return;  // the placeholders stay on their screens while the window moves
    // The neighbour screens show a spinner while the user swipes; the
    // zooming view comes in front of them once its picture is in.
    for (int screen = 0; screen < 3; ++screen) {
        auto* view = new ProgressView(screenRect(screen), containerScrollView()->contentWidget());
        view->show();
        view->stackUnder(detailScrollView());
        m_placeholders.emplace_back(view);
    }
}

void PavSecretPhotoScrollView::loadDetailImageView(int photo, quint64 generation)
{
    const PavPhotoModelPtr model = m_dataSource ? m_dataSource->photoScrollViewPhotoModelAtIndex(this, photo) : nullptr;
    if (!model) {
        showPicture(photo, generation, QImage(), QSize());
        return;
    }
    const QString path = m_store->getPhotoFullPath(*model);
    loadPicture(
        m_pictures, photo, generation, [path] { return PavEncryptManager::readDataFromPath(path); },
        [this, photo, generation](const QImage& image, QSize original) {
            showPicture(photo, generation, image, original);
        });
}

void PavSecretPhotoScrollView::showPicture(int photo, quint64 generation, const QImage& image, QSize original)
{
    // The zoom and the pause come from the original picture, not from the
    // smaller one decoded for the screen.
    const int pause = unlockDelayMs(original);
    if (!image.isNull()) {
        // Sizes are upright, so their own sides count.
        const double zoom = PhotoZoom::maximumScale(original, ImageOrientation::Up,
                                                    QSizeF(screenWidth(), screenHeight()));
        showDetailImage(photo, generation, image, zoom, pause);
        return;
    }
    // An item that does not decipher or decode: a black page with the
    // failure picture, which cannot be zoomed.
    showDetailImage(photo, generation, failurePage(), 1.0, pause);
}
