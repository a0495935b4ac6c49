#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

// One row of album tiles: tiles left to right from firstX, step apart, at
// y 8 in a section's first row and 0 otherwise. Replacing the tiles removes
// only the row's old tiles. The reuse identifier names the kind of row.
class AssetTileRow : public QWidget {
    Q_OBJECT
public:
    // Given tiles are held at once (as a row that is not a section's first).
    AssetTileRow(int firstX, int step, QWidget* parent = nullptr, QString reuseIdentifier = {},
                 const QList<QWidget*>& tiles = {});

    QString reuseIdentifier() const { return m_reuseIdentifier; }

    void updateTiles(const QList<QWidget*>& tiles, bool isTop);
    QList<QWidget*> tiles() const;
    bool isTop() const { return m_isTop; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutTiles();

    int m_firstX;
    int m_step;
    QString m_reuseIdentifier;
    bool m_isTop = false;
    QList<QPointer<QWidget>> m_tiles;
};
