#pragma once

#include "albums/widgets/AssetTileRow.h"

// A row of up to five photo tiles, 118 apart from x 14.
class PavSystemAssetsCell_iPad : public AssetTileRow {
public:
    static inline const QString kReuseIdentifier = QStringLiteral("PavSystemAlbumTableViewPhotoCell");

    explicit PavSystemAssetsCell_iPad(const QString& reuseIdentifier = kReuseIdentifier, QWidget* parent = nullptr)
        : AssetTileRow(14, 118, parent, reuseIdentifier)
    {
    }
    // A row made with its tiles (not a section's first row until updated).
    PavSystemAssetsCell_iPad(const QString& reuseIdentifier, const QList<QWidget*>& assetViews,
                             QWidget* parent = nullptr)
        : PavSystemAssetsCell_iPad(reuseIdentifier, parent)
    {
        updateAssetViews(assetViews, false);
    }

    void updateAssetViews(const QList<QWidget*>& views, bool isTop) { updateTiles(views, isTop); }
    QList<QWidget*> assetViews() const { return tiles(); }
};
