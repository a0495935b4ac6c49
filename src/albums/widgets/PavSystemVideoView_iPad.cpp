#include "albums/widgets/PavSystemVideoView_iPad.h"

#include "albums/widgets/AssetThumbnail.h"
#include "platform/ui/ImageView.h"

PavSystemVideoView_iPad::PavSystemVideoView_iPad(const QPoint& origin, ALAssetPtr asset,
                                                 PavSystemAssetViewDelegate* delegate, QWidget* parent)
    : ui::ImageButton(parent), m_asset(std::move(asset)), m_delegate(delegate)
{
    setGeometry(origin.x(), origin.y(), 148, 118);
    setBackgroundImageNamed(QStringLiteral("PavAlbum_VideoFrame_iPad.png"), Normal);
    m_thumbnail = new ui::ImageView(this);
    m_thumbnail->setMode(ui::ImageView::Mode::AspectFit);
    m_thumbnail->setGeometry(24, 8, 101, 101);
    m_thumbnail->setAttribute(Qt::WA_TransparentForMouseEvents);
    connect(this, &QAbstractButton::clicked, this, &PavSystemVideoView_iPad::toggleSelection);
    if (m_asset)
        AssetThumbnail::loadInto(m_thumbnail, m_asset->asset());
}

void PavSystemVideoView_iPad::toggleSelection()
{
    if (PavSystemAssetViewDelegate* delegate = m_delegate.get())
        delegate->systemAssetViewDidSelect(m_asset);
}
