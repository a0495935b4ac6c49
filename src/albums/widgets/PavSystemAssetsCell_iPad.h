#pragma once

#include "albums/widgets/AssetTileRow.h"

// A row of up to five photo tiles, 118 apart from x 14; it may be made with
// its tiles.
class PavSystemAssetsCell_iPad : public AssetTileRow {
public:
    static inline const QString kReuseIdentifier = QStringLiteral("PavSystemAlbumTableViewPhotoCell");

    explicit PavSystemAssetsCell_iPad(const QString& reuseIdentifier = kReuseIdentifier,
                                      const QList<QWidget*>& assetViews = {}, QWidget* parent = nullptr)
        : AssetTileRow(14, 118, parent, reuseIdentifier, assetViews)
    {
    }
    void updateAssetViews(const QList<QWidget*>& views, bool isTop) { updateTiles(views, isTop); }
    QList<QWidget*> assetViews() const { return tiles(); }
};
