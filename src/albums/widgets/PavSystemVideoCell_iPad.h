#pragma once

#include "albums/widgets/AssetTileRow.h"

// A row of up to four video tiles, 152 apart from x 8.
class PavSystemVideoCell_iPad : public AssetTileRow {
public:
    static inline const QString kReuseIdentifier = QStringLiteral("PavSystemAlbumTableViewVideoCell");

    explicit PavSystemVideoCell_iPad(const QString& reuseIdentifier = kReuseIdentifier, QWidget* parent = nullptr)
        : AssetTileRow(8, 152, parent, reuseIdentifier)
    {
    }
    // A row made with its tiles (not a section's first row until updated).
    PavSystemVideoCell_iPad(const QString& reuseIdentifier, const QList<QWidget*>& videoViews,
                            QWidget* parent = nullptr)
        : PavSystemVideoCell_iPad(reuseIdentifier, parent)
    {
        updateVideoViews(videoViews, false);
    }

    void updateVideoViews(const QList<QWidget*>& views, bool isTop) { updateTiles(views, isTop); }
    QList<QWidget*> videoViews() const { return tiles(); }
};
