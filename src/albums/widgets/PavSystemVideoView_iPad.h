#pragma once

#include "albums/widgets/PavSystemAssetViewDelegate.h"
#include "platform/core/DelegateRef.h"
#include "platform/ui/ImageButton.h"

namespace ui {
class ImageView;
}

// A video tile of the device album: a framed poster, no selection. Always
// 148 × 118 at the given origin.
class PavSystemVideoView_iPad : public ui::ImageButton {
    Q_OBJECT
public:
    PavSystemVideoView_iPad(const QPoint& origin, ALAssetPtr asset, PavSystemAssetViewDelegate* delegate,
                            QWidget* parent = nullptr);

    const ALAssetPtr& asset() const { return m_asset; }
    ui::ImageView* thumbnailView() const { return m_thumbnail; }
    void toggleSelection();

private:
    ALAssetPtr m_asset;
    DelegateRef<PavSystemAssetViewDelegate> m_delegate;
    ui::ImageView* m_thumbnail;
};
