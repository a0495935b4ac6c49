#pragma once

#include "albums/widgets/PavSystemAssetViewDelegate.h"
#include "platform/core/DelegateRef.h"
#include "platform/ui/ImageButton.h"

namespace ui {
class ImageView;
}

// A photo tile of the device album: a framed 99-point thumbnail with a
// selection mark shown in edit mode. Always 118 × 118 at the given origin.
class PavSystemAssetView_iPad : public ui::ImageButton {
    Q_OBJECT
public:
    PavSystemAssetView_iPad(const QPoint& origin, ALAssetPtr asset, PavSystemAssetViewDelegate* delegate,
                            QWidget* parent = nullptr);

    const ALAssetPtr& asset() const { return m_asset; }
    ui::ImageView* thumbnailView() const { return m_thumbnail; }
    ui::ImageView* selectedView() const { return m_selectedView; }

    void toggleSelection();
    void setSelectedAnimated(bool animated);
    void setDeselectedAnimated(bool animated);
    // Shows or hides the mark (edit mode) and matches it to the flag.
    void refreshMark(bool editing);

private:
    ALAssetPtr m_asset;
    DelegateRef<PavSystemAssetViewDelegate> m_delegate;
    ui::ImageView* m_thumbnail;
    ui::ImageView* m_selectedView = nullptr;
};
