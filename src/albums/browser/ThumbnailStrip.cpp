#include "albums/browser/ThumbnailStrip.h"

#include <algorithm>

void ThumbnailStrip::reload(int count)
{
    m_count = std::max(0, count);
    m_selected = 0;
}

int ThumbnailStrip::select(int index)
{
    m_selected = m_count == 0 ? 0 : std::clamp(index, 0, m_count - 1);
    return m_selected;
}

int ThumbnailStrip::contentWidth() const
{
    return m_count < kScrollFrom ? kMinContentWidth : kStep * m_count + (kTile - kStep);
}

QRect ThumbnailStrip::overlayFrame() const
{
    const int width = 2 * contentWidth() - kTile;  // always even
    return {overlayCentre().x() - width / 2, 0, width, kTile};
}

QRect ThumbnailStrip::leftMaskFrame() const { return {0, 0, contentWidth() - kTile, kTile}; }

QRect ThumbnailStrip::windowFrame() const { return {contentWidth() - kTile, 0, kTile, kTile}; }

QRect ThumbnailStrip::rightMaskFrame() const { return {contentWidth(), 0, contentWidth() - kTile, kTile}; }

int ThumbnailStrip::offsetToShow(int index, int offset) const
{
    const int left = kStep * index;
    const int right = left + kTile;
    int target = offset;
    if (right < offset)
        target = left;                                  // wholly hidden on the left
    else if (right > offset + kVisibleWidth + kTile)
        target = right - kVisibleWidth;                 // wholly hidden on the right
    else {
        const int d = left - offset;
        if (d < 0)
            target = offset + d;
        else if (d > 0 && kVisibleWidth - d < kTile)
            target = offset + (kTile - (kVisibleWidth - d));
    }
    const int maxOffset = std::max(0, contentWidth() - kVisibleWidth);
    return std::clamp(target, 0, isScrollEnabled() ? maxOffset : 0);
}

ThumbnailStrip::Range ThumbnailStrip::visibleRange(int offset, int margin) const
{
    if (m_count == 0)
        return {};
    // Tile i spans [115 i, 115 i + 120).
    const int first = std::max(0, (offset - kTile) / kStep + ((offset - kTile) >= 0 ? 1 : 0));
    const int last = std::min(m_count - 1, (offset + kVisibleWidth - 1) / kStep);
    return {std::max(0, first - margin), std::min(m_count - 1, last + margin)};
}
