#include "albums/browser/PhotoPagerView.h"

#include "albums/browser/PhotoZoom.h"
#include "platform/core/MainThread.h"
#include "platform/media/ImageCodec.h"
#include "platform/photolib/AssetsLibrary.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Images.h"
#include "platform/ui/ScrollView.h"

#include <QPainter>
#include <QPalette>

#include <cmath>

namespace {
void paintBlack(QWidget* w)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, Qt::black);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}
}

PhotoPagerView::PhotoPagerView(const QRect& frame, QWidget* parent)
    : QWidget(parent),
      m_screenWidth(frame.width()),
      m_screenHeight(frame.height()),
      m_container(new ui::ScrollView(this)),
      m_wantedGeneration(std::make_shared<std::atomic<quint64>>(0)),
      m_wantedPhoto(std::make_shared<std::atomic<int>>(-1)),
      m_sharpRequest(std::make_shared<std::atomic<quint64>>(0))
{
    setGeometry(frame);
    setupInitialData();
}

void PhotoPagerView::setupInitialData()
{
    paintBlack(this);
    m_container->setObjectName(QStringLiteral("containerScrollView"));
    m_container->setGeometry(rect());
    m_container->setPagingEnabled(true);
    m_detail = new ui::ScrollView(m_container->contentWidget());
    m_detail->setObjectName(QStringLiteral("detailScrollView"));
    m_detail->setGeometry(0, 0, 0, 0);
    m_detail->setMinimumZoomScale(1.0);
    m_detail->setBounces(true);  // a zoomed picture is pulled past its edges and springs back
    paintBlack(m_detail);

    connect(m_container, &ui::ScrollView::draggingEnded, this, [this](bool willDecelerate) {
        if (willDecelerate)
            setSwipesEnabled(false);
        else
            containerDidEndDecelerating();  // released right on a page: it settles there at once
    });
    connect(m_container, &ui::ScrollView::deceleratingBegan, this, [this] { notifyWillBeginDecelerating(); });
    connect(m_container, &ui::ScrollView::deceleratingEnded, this, [this] { containerDidEndDecelerating(); });
    connect(m_detail, &ui::ScrollView::zoomingEnded, this, [this] { sharpen(); });
}

void PhotoPagerView::reportZoomedFlings()
{
    connect(m_detail, &ui::ScrollView::deceleratingBegan, this, [this] { notifyWillBeginDecelerating(); });
}

PhotoPagerView::~PhotoPagerView() = default;

QRect PhotoPagerView::screenRect(int screen) const
{
    return QRect(int(std::lround(screen * m_screenWidth)), 0, int(m_screenWidth), int(m_screenHeight));
}

void PhotoPagerView::publishCurrent()
{
    m_wantedPhoto->store(m_pager.pageCount() > 0 ? m_pager.selectedIndex() : -1);
    m_wantedGeneration->store(m_pager.generation());
}

std::function<bool()> PhotoPagerView::wantedTest(int photo, quint64 generation) const
{
    return [g = m_wantedGeneration, p = m_wantedPhoto, photo, generation] {
        return g->load() == generation && p->load() == photo;
    };
}

void PhotoPagerView::setSwipesEnabled(bool enabled)
{
    m_container->setUserInteractionEnabled(enabled);
}

bool PhotoPagerView::swipesEnabled() const
{
    return m_container->isUserInteractionEnabled();
}

void PhotoPagerView::unlockAfter(int ms)
{
    if (ms <= 0) {
        setSwipesEnabled(true);
        return;
    }
    // Only the page that asked for the pause unlocks after it.
    const quint64 generation = m_pager.generation();
    MainThread::after(ms, this, [this, generation] {
        if (m_pager.generation() == generation)
            setSwipesEnabled(true);
    });
    emit swipesHeld(ms);
}

void PhotoPagerView::reloadDataSource()
{
    setupInitialState();
}

void PhotoPagerView::setupInitialState()
{
    clearPages();
    delete m_detailImage;
    const int pages = pageCountFromSource();
    const int begin = pages > 0 ? beginPageFromSource() : 0;
    const bool any = m_pager.reload(pages, begin);
    publishCurrent();
    if (!any) {
        m_container->setContentSize({0, 0});
        m_detail->hide();
        setSwipesEnabled(true);
        return;
    }
    notifyDidSelect(m_pager.selectedIndex());
    m_container->setContentSize({m_pager.screenCount() * m_screenWidth, m_screenHeight});
    m_container->setContentOffset({m_pager.screenIndex() * m_screenWidth, 0});
    layoutPages(PhotoPager::Move::Jump);
    reloadSelectedDetailView(m_pager.screenIndex());
}

void PhotoPagerView::containerDidEndDecelerating()
{
    const int screen = int(m_container->contentOffset().x() / m_screenWidth);
    const PhotoPager::Move move = m_pager.settle(screen);
    publishCurrent();
    if (move == PhotoPager::Move::None) {
        setSwipesEnabled(true);
        return;
    }
    m_container->setContentOffset({m_pager.screenIndex() * m_screenWidth, 0});
    if (move == PhotoPager::Move::Jump) {
        notifyDidSelect(m_pager.selectedIndex());
        layoutPages(move);
        reloadSelectedDetailView(m_pager.screenIndex());
        return;
    }
    layoutPages(move);
    reloadSelectedDetailView(m_pager.screenIndex());
    notifyDidSelect(m_pager.selectedIndex());
}

void PhotoPagerView::pageBy(int step)
{
    const int target = m_pager.screenIndex() + step;
    if (m_pager.pageCount() == 0 || !swipesEnabled() || m_container->isDragging() || m_container->isDecelerating() ||
        target < 0 || target >= m_pager.screenCount())
        return;
    setSwipesEnabled(false);
    m_container->decelerateTo({target * m_screenWidth, 0});
}

void PhotoPagerView::reloadSelectedDetailView(int screen)
{
    m_sharpSource.reset();
    m_sharpAsked = QSize();
    m_detail->setZoomView(nullptr);
    delete m_detailImage;
    m_detail->setMaximumZoomScale(1.0);
    m_detail->setZoomScale(1.0);
    m_detail->hide();
    m_detail->setGeometry(screenRect(screen));
    m_detail->setContentOffset({0, 0});
    loadDetailImageView(m_pager.selectedIndex(), m_pager.generation());
}

bool PhotoPagerView::showDetailImage(int photo, quint64 generation, const QImage& image, double maximumZoom,
                                     int unlockDelayMs)
{
    if (!isCurrent(photo, generation))
        return false;
    if (image.isNull() || image.size().isEmpty())
        return detailFailed(photo, generation, unlockDelayMs);
    auto* view = new ui::ImageView(m_detail);
    view->setObjectName(QStringLiteral("detailImageView"));
    view->setMode(ui::ImageView::Mode::AspectFit);
    view->setBackgroundColor(Qt::black);
    view->setImage(QPixmap::fromImage(image));
    m_detailImage = view;
    m_detail->setMaximumZoomScale(std::max(1.0, maximumZoom));
    m_detail->setZoomView(view);
    m_detail->show();
    m_detail->raise();
    m_detail->update();
    unlockAfter(unlockDelayMs);
    emit detailImageShown(photo);
    return true;
}

bool PhotoPagerView::detailFailed(int photo, quint64 generation, int unlockDelayMs)
{
    if (!isCurrent(photo, generation))
        return false;
    unlockAfter(unlockDelayMs);
    return true;
}

void PhotoPagerView::loadPicture(ImageLoadPool& pool, int photo, quint64 generation, PictureBytes read,
                                 PictureLoaded done)
{
    auto original = std::make_shared<QSize>();
    pool.load(
        this,
        [read, original] {
            const QByteArray bytes = read();
            *original = PhotoZoom::uprightSize(bytes);
            return ImageCodec::decodeScaled(bytes, AssetsLibrary::kFullScreen);
        },
        wantedTest(photo, generation),
        [this, photo, generation, read, original, done](const QImage& image) {
            if (!image.isNull() && original->isValid())
                m_sharpSource = SharpSource{read, *original, photo, generation};
            // A reader that cannot tell the size up front: the decode's own.
            done(image, image.isNull() ? QSize() : original->isValid() ? *original : image.size());
        });
}

void PhotoPagerView::sharpen()
{
    if (!m_sharpSource || !m_detailImage || !isCurrent(m_sharpSource->photo, m_sharpSource->generation))
        return;
    QSize have = m_detailImage->image().size();
    if (m_sharpAsked.isValid())
        have = have.expandedTo(m_sharpAsked);  // already on its way
    const QSize size = PhotoZoom::sharperSize(m_sharpSource->original, have, m_detail->size(), m_detail->zoomScale());
    if (!size.isValid())
        return;
    m_sharpAsked = size;
    const quint64 request = ++*m_sharpRequest;
    const int photo = m_sharpSource->photo;
    const quint64 generation = m_sharpSource->generation;
    const std::function<bool()> shown = wantedTest(photo, generation);
    m_sharper.load(
        this, [read = m_sharpSource->read, size] { return ImageCodec::decodeScaled(read(), size); },
        [shown, latest = m_sharpRequest, request] { return latest->load() == request && shown(); },
        [this, photo, generation](const QImage& image) {
            // Only ever a gain: a failed or smaller decode leaves what is shown.
            if (!isCurrent(photo, generation) || !m_detailImage || image.isNull() ||
                image.width() <= m_detailImage->image().width())
                return;
            m_detailImage->setImage(QPixmap::fromImage(image));
        });
}

void PhotoPagerView::doubleClicked(QPoint pos)
{
    if (m_detail->zoomScale() > 1.0) {
        m_detail->setZoomScale(1.0, true);
        return;
    }
    const double scale = m_detail->maximumZoomScale();
    m_detail->zoomTo(scale, PhotoZoom::offsetForTap(pos, scale, m_detail->size()), true);
}

QImage PhotoPagerView::failurePage() const
{
    QImage page(int(screenWidth()), int(screenHeight()), QImage::Format_RGB32);
    page.fill(Qt::black);
    const QPixmap failed = ui::Images::named(QStringLiteral("PavAlbum_BrowerLoadPhotoFailed_iPad.png"));
    QPainter painter(&page);
    painter.drawPixmap((page.width() - failed.width()) / 2, (page.height() - failed.height()) / 2, failed);
    return page;
}
