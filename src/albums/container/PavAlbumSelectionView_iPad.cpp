#include "albums/container/PavAlbumSelectionView_iPad.h"

#include "albums/container/PavAlbumSelectionViewItem.h"
#include "platform/core/Localization.h"
#include "platform/ui/Animations.h"
#include "platform/ui/ImageButton.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Images.h"

#include <QLabel>

namespace {
struct AlbumLook {
    const char* name;
    const char* icon;
    const char* chosenIcon;
};
const AlbumLook kAlbums[3] = {
    {"Pad相册", "PavPadAlbumIcon_iPad.png", "PavPadAlbumIcon_selected_iPad.png"},
    {"隐私相册", "PavSecretAlbumIcon_iPad.png", "PavSecretAlbumIcon_selected_iPad.png"},
    {"云端相册", "PavCloudAlbumIcon_iPad.png", "PavCloudAlbumIcon_selected_iPad.png"},
};
constexpr int kDirectorY[3] = {95, 325, 555};
constexpr int kDirectorMs = 300;
}

PavAlbumSelectionView_iPad::PavAlbumSelectionView_iPad(const QPoint& origin, QWidget* parent,
                                                       AlbumUsage::Recorder usage)
    : QWidget(parent), m_director(new ui::ImageView("PavAlbum_SelectedPoint_iPad.png", this)),
      m_settingButton(new ui::ImageButton(this)), m_usage(std::move(usage))
{
    setGeometry(QRect(origin, kSize));
    setFixedSize(kSize);

    for (int i = 0; i < 3; ++i) {
        auto* item = new PavAlbumSelectionViewItem(QPoint(0, i * PavAlbumSelectionViewItem::kSize.height()), this);
        item->albumName()->setText(L(kAlbums[i].name));
        item->setAlbumButtonImageWithNormalImage(ui::Images::named(kAlbums[i].icon),
                                                 ui::Images::named(kAlbums[i].chosenIcon));
        connect(item->albumButton(), &QAbstractButton::clicked, this,
                [this, button = item->albumButton()] { albumItemSelected(button); });
        m_items[i] = item;
    }

    m_directorTarget = QRect(217, kDirectorY[0], 11, 22);
    m_director->setGeometry(m_directorTarget);
    m_director->raise();

    m_settingButton->setGeometry(176, 675, 50, 50);
    m_settingButton->setFocusPolicy(Qt::NoFocus);
    m_settingButton->setImageNamed("PavAlbum_SettingButton_iPad.png", ui::ImageButton::Normal);
    m_settingButton->setImageNamed("PavAlbum_SettingButton_selected_iPad.png", ui::ImageButton::Highlighted);
    connect(m_settingButton, &QAbstractButton::clicked, this, [this] { settingButtonClicked(); });
}

PavAlbumSelectionViewItem* PavAlbumSelectionView_iPad::item(int index) const
{
    return index >= 0 && index < 3 ? m_items[index] : nullptr;
}

void PavAlbumSelectionView_iPad::setAlbumItemSelected(int index)
{
    if (item(index)) {
        for (int i = 0; i < 3; ++i)
            m_items[i]->setSelected(i == index);
        m_directorTarget.moveTop(kDirectorY[index]);
    }
    ui::Animations::animateGeometry(m_director, m_directorTarget, kDirectorMs, QEasingCurve::InOutQuad);
}

void PavAlbumSelectionView_iPad::setAlbumItemImage(int index, const QPixmap& image)
{
    PavAlbumSelectionViewItem* target = item(index);
    if (!target)
        return;
    const QPixmap chosen = image.isNull() ? ui::Images::named(kAlbums[index].chosenIcon) : image;
    target->setAlbumButtonImageWithNormalImage(QPixmap(), chosen);
}

void PavAlbumSelectionView_iPad::albumItemSelected(QAbstractButton* button)
{
    for (int i = 0; i < 3; ++i) {
        if (static_cast<QAbstractButton*>(m_items[i]->albumButton()) != button)
            continue;
        if (m_usage)
            m_usage(kAlbumTapEvents[i]);
        setAlbumItemSelected(i);
        if (auto* d = m_delegate.get())
            d->albumSelectionViewDidSelectedItem(i);
        return;
    }
}

void PavAlbumSelectionView_iPad::settingButtonClicked()
{
    if (m_usage)
        m_usage(kSettingsTapEvent);
    if (auto* d = m_delegate.get())
        d->albumSelectionViewDidClickSettingButton();
}
