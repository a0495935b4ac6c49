#pragma once

#include "albums/widgets/AssetTileRow.h"

// A row of up to three private-album tiles, 118 apart from x 14.
class PavSecretPhotoCell_iPad : public AssetTileRow {
public:
    explicit PavSecretPhotoCell_iPad(QWidget* parent = nullptr) : AssetTileRow(14, 118, parent) {}
    void updatePhotoViews(const QList<QWidget*>& views, bool isTop) { updateTiles(views, isTop); }
    QList<QWidget*> photoViews() const { return tiles(); }
};
