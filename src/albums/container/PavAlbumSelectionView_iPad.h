#pragma once

#include "albums/AlbumUsage.h"
#include "albums/container/PavAlbumSelectionViewDelegate_iPad.h"
#include "platform/core/DelegateRef.h"

#include <QRect>
#include <QWidget>

class PavAlbumSelectionViewItem;
class QAbstractButton;
class QPixmap;

namespace ui {
class ImageButton;
class ImageView;
}

// The strip on the left of the album tab: the three albums with their
// names, a pointer that slides to the chosen one and the settings button.
// 226 × 725 points whatever size it is given.
class PavAlbumSelectionView_iPad : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize kSize{226, 725};
    static constexpr int kAlbumTapEvents[3] = {27099, 27100, 27122};
    static constexpr int kSettingsTapEvent = 27123;

    explicit PavAlbumSelectionView_iPad(const QPoint& origin, QWidget* parent = nullptr,
                                        AlbumUsage::Recorder usage = AlbumUsage::defaultRecorder());

    PavAlbumSelectionViewItem* systemAlbumItem() const { return m_items[0]; }
    PavAlbumSelectionViewItem* secretAlbumItem() const { return m_items[1]; }
    PavAlbumSelectionViewItem* cloudAlbumItem() const { return m_items[2]; }
    PavAlbumSelectionViewItem* item(int index) const;
    ui::ImageView* director() const { return m_director; }
    ui::ImageButton* settingButton() const { return m_settingButton; }
    void setDelegate(PavAlbumSelectionViewDelegate_iPad* delegate) { m_delegate.reset(delegate); }

    // Marks the album chosen and slides the pointer to it; another index
    // changes nothing.
    void setAlbumItemSelected(int index);
    // The pointer's frame once its slide has ended.
    QRect directorTargetFrame() const { return m_directorTarget; }
    // The album's chosen-state icon; a null image restores the default one.
    void setAlbumItemImage(int index, const QPixmap& image);

    void albumItemSelected(QAbstractButton* button);
    void settingButtonClicked();

private:
    PavAlbumSelectionViewItem* m_items[3];
    ui::ImageView* m_director;
    ui::ImageButton* m_settingButton;
    DelegateRef<PavAlbumSelectionViewDelegate_iPad> m_delegate;
    AlbumUsage::Recorder m_usage;
    QRect m_directorTarget;
};
