#pragma once

#include "albums/widgets/AssetTileRow.h"

class PavCloudPhotoView_iPad;

// A row of up to five cloud tiles, 118 apart from x 14. Clearing the row
// (before new tiles, or when the table drops it) stops the thumbnail
// downloads of its photos.
class PavCloudPhotoCell_iPad : public AssetTileRow {
public:
    static inline const QString kReuseIdentifier = QStringLiteral("PavCloudAlbumTableViewCell");

    explicit PavCloudPhotoCell_iPad(QWidget* parent = nullptr) : AssetTileRow(14, 118, parent) {}
    ~PavCloudPhotoCell_iPad() override;

    void updatePhotoViews(const QList<PavCloudPhotoView_iPad*>& views, bool isTop);
    QList<PavCloudPhotoView_iPad*> photoViews() const;
    void removeSubPhotoViews();
};
