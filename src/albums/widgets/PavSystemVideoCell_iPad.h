#pragma once

#include "albums/widgets/AssetTileRow.h"

// A row of up to four video tiles, 152 apart from x 8; it may be made with
// its tiles.
class PavSystemVideoCell_iPad : public AssetTileRow {
public:
    static inline const QString kReuseIdentifier = QStringLiteral("PavSystemAlbumTableViewVideoCell");

    explicit PavSystemVideoCell_iPad(const QString& reuseIdentifier = kReuseIdentifier,
                                     const QList<QWidget*>& videoViews = {}, QWidget* parent = nullptr)
        : AssetTileRow(8, 152, parent, reuseIdentifier, videoViews)
    {
    }
    void updateVideoViews(const QList<QWidget*>& views, bool isTop) { updateTiles(views, isTop); }
    QList<QWidget*> videoViews() const { return tiles(); }
};
