#include "albums/browser/ThumbnailStripView.h"

#include "albums/browser/PavPhotoSelectedThumbnailFrameView_iPad.h"
#include "albums/browser/PavPhotoThumbnailView_iPad.h"
#include "platform/ui/Animations.h"
#include "platform/ui/ImageButton.h"
#include "platform/ui/ScrollView.h"


namespace {
QWidget* dimmingView(QWidget* parent)
{
    auto* view = new QWidget(parent);
    QPalette pal = view->palette();
    pal.setColor(QPalette::Window, QColor(0, 0, 0, 128));
    view->setPalette(pal);
    view->setAutoFillBackground(true);
    return view;
}
}

ThumbnailStripView::ThumbnailStripView(const QRect& frame, QWidget* parent)
    : QWidget(parent), m_containerView(new ui::ScrollView(this))
{
    setGeometry(frame);
    setupInitialData();
}

void ThumbnailStripView::setupInitialData()
{
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0, 0, 0, 204));
    setPalette(pal);
    setAutoFillBackground(true);

    m_containerView->setObjectName(QStringLiteral("thumbnailRow"));
    m_containerView->setGeometry(0, 8, ThumbnailStrip::kVisibleWidth, ThumbnailStrip::kTile);
    m_maskView = new QWidget(m_containerView->contentWidget());
    m_maskView->setObjectName(QStringLiteral("thumbnailMask"));
    m_maskView->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_leftMaskView = dimmingView(m_maskView);
    m_selectedThumbnailFrameView = new PavPhotoSelectedThumbnailFrameView_iPad(m_maskView);
    m_rightMaskView = dimmingView(m_maskView);
    connect(m_containerView, &ui::ScrollView::scrolled, this, [this] { updateVisibleTiles(); });
}

ThumbnailStripView::~ThumbnailStripView() = default;

PavPhotoThumbnailView_iPad* ThumbnailStripView::tileAt(int index) const
{
    const auto it = m_tiles.find(index);
    return it == m_tiles.end() ? nullptr : it->second;
}

PavPhotoThumbnailView_iPad* ThumbnailStripView::makeTile(const QRect& frame, int index)
{
    Q_UNUSED(index);
    return new PavPhotoThumbnailView_iPad(frame);
}

void ThumbnailStripView::clearTiles()
{
    for (auto& [index, tile] : m_tiles)
        delete tile;
    m_tiles.clear();
}

void ThumbnailStripView::reloadDataSource()
{
    setupInitialState();
}

void ThumbnailStripView::setupInitialState()
{
    clearTiles();
    m_strip.reload(stripCount());
    if (m_strip.count() > 0) {
        m_containerView->setContentSize(QSizeF(m_strip.contentWidth(), ThumbnailStrip::kTile));
        m_containerView->setScrollEnabled(m_strip.isScrollEnabled());
        m_maskView->setGeometry(m_strip.overlayFrame());
        m_leftMaskView->setGeometry(m_strip.leftMaskFrame());
        m_selectedThumbnailFrameView->setGeometry(m_strip.windowFrame());
        m_selectedThumbnailFrameView->update();
        m_rightMaskView->setGeometry(m_strip.rightMaskFrame());
    } else {
        m_containerView->setContentSize(QSizeF(0, 0));
    }
    m_maskView->setVisible(m_strip.count() > 0);
    updateVisibleTiles();
    if (m_strip.count() == 0)
        return;  // an empty strip frames nothing and tells nobody
    selectAtIndex(stripBeginIndex(), false);
    notifyDidSelect(m_strip.selectedIndex());
}

void ThumbnailStripView::selectAtIndex(int index, bool animated)
{
    m_strip.select(index);
    if (m_strip.count() == 0)
        return;
    ui::Animations::animateGeometry(m_maskView, m_strip.overlayFrame(), animated ? kSlideMs : 0);
    const int offset = int(m_containerView->contentOffset().x());
    m_containerView->setContentOffset(QPointF(m_strip.offsetToShow(m_strip.selectedIndex(), offset), 0), animated);
}

void ThumbnailStripView::touchButtonClicked(int index)
{
    if (index < 0 || index >= m_strip.count())
        return;
    selectAtIndex(index, true);
    notifyDidSelect(index);
}

void ThumbnailStripView::updateVisibleTiles()
{
    const ThumbnailStrip::Range range =
        m_strip.visibleRange(int(m_containerView->contentOffset().x()), kTileMargin);
    for (auto it = m_tiles.begin(); it != m_tiles.end();) {
        if (range.contains(it->first)) {
            ++it;
            continue;
        }
        // Later: the tile may be the one whose tap is being handled.
        it->second->hide();
        it->second->deleteLater();
        it = m_tiles.erase(it);
    }
    if (range.isEmpty())
        return;
    for (int i = range.first; i <= range.last; ++i) {
        if (m_tiles.count(i))
            continue;
        PavPhotoThumbnailView_iPad* tile = makeTile(ThumbnailStrip::tileFrame(i), i);
        tile->setParent(m_containerView->contentWidget());
        tile->setGeometry(ThumbnailStrip::tileFrame(i));
        tile->touchButton()->setProperty("tag", i);
        connect(tile->touchButton(), &QAbstractButton::clicked, this, [this, i] { touchButtonClicked(i); });
        tile->stackUnder(m_maskView);
        tile->show();
        m_tiles.emplace(i, tile);
        loadTile(tile, i);
    }
}
