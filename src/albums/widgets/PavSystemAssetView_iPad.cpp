#include "albums/widgets/PavSystemAssetView_iPad.h"

#include "albums/widgets/AssetThumbnail.h"
#include "platform/ui/ImageView.h"

PavSystemAssetView_iPad::PavSystemAssetView_iPad(const QPoint& origin, ALAssetPtr asset,
                                                 PavSystemAssetViewDelegate* delegate, QWidget* parent)
    : ui::ImageButton(parent), m_asset(std::move(asset)), m_delegate(delegate)
{
    setGeometry(origin.x(), origin.y(), 118, 118);
    setBackgroundImageNamed(QStringLiteral("PavAlbum_PhotoFrame_iPad.png"), Normal);
    setBackgroundImageNamed(QStringLiteral("PavAlbum_PhotoFrame_selected_iPad.png"), Highlighted);
    m_thumbnail = new ui::ImageView(this);
    m_thumbnail->setMode(ui::ImageView::Mode::AspectFit);
    m_thumbnail->setGeometry(9, 9, 99, 99);
    m_thumbnail->setAttribute(Qt::WA_TransparentForMouseEvents);
    if (m_asset && m_asset->isPhoto()) {
        m_selectedView = new ui::ImageView(m_thumbnail);
        m_selectedView->setGeometry(70, 70, 29, 29);
        refreshMark(delegate && delegate->editStateOfSystemAssetViewDelegate());
    }
    connect(this, &QAbstractButton::clicked, this, &PavSystemAssetView_iPad::toggleSelection);
    if (m_asset)
        AssetThumbnail::loadInto(m_thumbnail, m_asset->asset());
}

void PavSystemAssetView_iPad::refreshMark(bool editing)
{
    if (!m_selectedView)
        return;
    m_selectedView->setVisible(editing);
    m_selectedView->setImageNamed(m_asset->isChecked() ? QStringLiteral("PavAssetsView_selected.png")
                                                       : QStringLiteral("PavAssetsView_unselected.png"));
}

// Only photos carry a mark; a video's flag is left alone.
void PavSystemAssetView_iPad::setSelectedAnimated(bool)
{
    if (!m_selectedView)
        return;
    m_asset->setIsChecked(true);
    m_selectedView->setImageNamed(QStringLiteral("PavAssetsView_selected.png"));
}

void PavSystemAssetView_iPad::setDeselectedAnimated(bool)
{
    if (!m_selectedView)
        return;
    m_asset->setIsChecked(false);
    m_selectedView->setImageNamed(QStringLiteral("PavAssetsView_unselected.png"));
}

void PavSystemAssetView_iPad::toggleSelection()
{
    PavSystemAssetViewDelegate* delegate = m_delegate.get();
    if (!delegate || !m_asset)
        return;
    if (!delegate->editStateOfSystemAssetViewDelegate()) {
        delegate->systemAssetViewDidSelect(m_asset);
        return;
    }
    if (m_asset->isPhoto()) {
        if (m_asset->isChecked())
            setDeselectedAnimated(true);
        else
            setSelectedAnimated(true);
    }
    delegate->systemAssetViewSelected(m_asset);
}
