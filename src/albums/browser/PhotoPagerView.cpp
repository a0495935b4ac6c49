#include "albums/browser/PhotoPagerView.h"

#include "albums/browser/PhotoZoom.h"
#include "platform/core/MainThread.h"
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
      m_wantedPhoto(std::make_shared<std::atomic<int>>(-1))
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
    paintBlack(m_detail);

    connect(m_container, &ui::ScrollView::draggingEnded, this, [this](bool willDecelerate) {
        if (willDecelerate)
            setSwipesEnabled(false);
        else
            containerDidEndDecelerating();  // released right on a page: it settles there at once
    });
    connect(m_container, &ui::ScrollView::deceleratingBegan, this, [this] { notifyWillBeginDecelerating(); });
    connect(m_container, &ui::ScrollView::deceleratingEnded, this, [this] { containerDidEndDecelerating(); });
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
