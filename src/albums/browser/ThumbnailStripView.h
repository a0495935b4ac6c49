#pragma once

#include "albums/browser/ThumbnailStrip.h"

#include <QWidget>

#include <map>

class PavPhotoSelectedThumbnailFrameView_iPad;
class PavPhotoThumbnailView_iPad;

namespace ui {
class ScrollView;
}

// The thumbnail strip the browsers share: a row of tiles (see
// ThumbnailStrip) under a sliding overlay that dims all but the framed
// tile. Only the tiles in and near the visible part of the row exist; they
// are made as the row scrolls. A subclass answers the count and the first
// index from its data source, makes and fills the tiles and tells its
// delegate of a pick.
class ThumbnailStripView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSlideMs = 300;
    static constexpr int kTileMargin = 2;  // tiles made beyond each side of the window

    explicit ThumbnailStripView(const QRect& frame, QWidget* parent = nullptr);
    ~ThumbnailStripView() override;

    // Rebuilds from the data source, frames the first index and tells the
    // delegate (nobody when the list is empty).
    void reloadDataSource();
    // Frames a tile and scrolls it into view; tells nobody.
    void selectAtIndex(int index, bool animated);
    // A tile's button was tapped.
    void touchButtonClicked(int index);

    const ThumbnailStrip& strip() const { return m_strip; }
    int count() const { return m_strip.count(); }
    int selectedIndex() const { return m_strip.selectedIndex(); }
    ui::ScrollView* containerView() const { return m_containerView; }
    QWidget* maskView() const { return m_maskView; }
    // The tile of an index while it exists.
    PavPhotoThumbnailView_iPad* tileAt(int index) const;
    int tileCount() const { return int(m_tiles.size()); }

protected:
    virtual int stripCount() = 0;
    virtual int stripBeginIndex() = 0;
    virtual void notifyDidSelect(int index) = 0;
    // A tile for the frame; the default is a plain tile.
    virtual PavPhotoThumbnailView_iPad* makeTile(const QRect& frame, int index);
    // Fills a new tile (its picture may come later).
    virtual void loadTile(PavPhotoThumbnailView_iPad* tile, int index) = 0;

private:
    // The fixed parts: background, row, overlay (masks and frame window).
    void setupInitialData();
    // The tiles and the framed index, from the data source.
    void setupInitialState();
    void updateVisibleTiles();
    void clearTiles();

    ThumbnailStrip m_strip;
    ui::ScrollView* m_containerView;
    QWidget* m_maskView;
    QWidget* m_leftMaskView;
    QWidget* m_rightMaskView;
    PavPhotoSelectedThumbnailFrameView_iPad* m_selectedThumbnailFrameView;
    std::map<int, PavPhotoThumbnailView_iPad*> m_tiles;
};
