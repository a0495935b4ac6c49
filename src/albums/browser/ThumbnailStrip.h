#pragma once

#include <QPoint>
#include <QRect>

// The arithmetic of the browsers' thumbnail strips: a row of 120-point
// square tiles 115 points apart (neighbours share a 5-point border), seen
// through a 1024-point window, and a sliding overlay whose clear 120-point
// window frames the selected tile while everything else is dimmed.
class ThumbnailStrip {
public:
    static constexpr int kStep = 115;
    static constexpr int kTile = 120;
    static constexpr int kVisibleWidth = 1024;
    static constexpr int kScrollFrom = 9;       // tiles from which the row scrolls
    static constexpr int kMinContentWidth = 1040;

    struct Range {
        int first = 0;
        int last = -1;  // inclusive; empty when last < first
        bool isEmpty() const { return last < first; }
        bool contains(int i) const { return i >= first && i <= last; }
    };

    // A new list: selection back to 0.
    void reload(int count);
    int count() const { return m_count; }
    int selectedIndex() const { return m_selected; }

    // Frames a tile, never beyond the last one (0 when empty); returns it.
    int select(int index);

    int contentWidth() const;
    bool isScrollEnabled() const { return m_count >= kScrollFrom; }
    static QRect tileFrame(int index) { return {kStep * index, 0, kTile, kTile}; }

    // The overlay (in the row) and its parts (in the overlay).
    QRect overlayFrame() const;
    QRect leftMaskFrame() const;
    QRect windowFrame() const;
    QRect rightMaskFrame() const;
    // Where the overlay's centre goes to frame the selected tile.
    QPoint overlayCentre() const { return {kStep * m_selected + kTile / 2, kTile / 2}; }

    // The row offset after bringing tile `index` wholly into view from
    // `offset` with the least scroll, kept within the row.
    int offsetToShow(int index, int offset) const;
    // The tiles that intersect the window at `offset`, widened by `margin`
    // tiles on each side.
    Range visibleRange(int offset, int margin = 0) const;

private:
    int m_count = 0;
    int m_selected = 0;
};
