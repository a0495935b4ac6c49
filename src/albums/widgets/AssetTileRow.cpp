#include "albums/widgets/AssetTileRow.h"

AssetTileRow::AssetTileRow(int firstX, int step, QWidget* parent, QString reuseIdentifier,
                           const QList<QWidget*>& tiles)
    : QWidget(parent), m_firstX(firstX), m_step(step), m_reuseIdentifier(std::move(reuseIdentifier))
{
    if (!tiles.isEmpty())
        updateTiles(tiles, false);
}

void AssetTileRow::updateTiles(const QList<QWidget*>& tiles, bool isTop)
{
    for (const QPointer<QWidget>& old : m_tiles) {
        if (old && !tiles.contains(old.data()))
            old->deleteLater();
    }
    m_tiles.clear();
    for (QWidget* tile : tiles) {
        tile->setParent(this);
        tile->show();
        m_tiles.append(tile);
    }
    m_isTop = isTop;
    layoutTiles();
}

QList<QWidget*> AssetTileRow::tiles() const
{
    QList<QWidget*> out;
    for (const QPointer<QWidget>& tile : m_tiles) {
        if (tile)
            out.append(tile.data());
    }
    return out;
}

void AssetTileRow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutTiles();
}

void AssetTileRow::layoutTiles()
{
    int x = m_firstX;
    for (QWidget* tile : tiles()) {
        tile->move(x, m_isTop ? 8 : 0);
        x += m_step;
    }
}
