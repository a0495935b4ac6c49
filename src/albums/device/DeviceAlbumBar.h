#pragma once

#include "albums/device/EditBar.h"

#include <QWidget>

class PavDoubleSlider;
namespace ui {
class ImageButton;
class ShadowLabel;
}

// The device album's bottom bar: the two edit buttons, the two actions, the
// cancel button, the photos/videos switch and the count label. It shows
// whatever EditBar::Look says and reports taps.
class DeviceAlbumBar : public QWidget {
    Q_OBJECT
public:
    explicit DeviceAlbumBar(const QRect& frame, QWidget* parent = nullptr);

    void apply(const EditBar::Look& look);

    ui::ImageButton* cancelButton() const { return m_cancel; }
    ui::ImageButton* backupEditButton() const { return m_backupEdit; }
    ui::ImageButton* backupButton() const { return m_backup; }
    ui::ImageButton* lockEditButton() const { return m_lockEdit; }
    ui::ImageButton* lockButton() const { return m_lock; }
    PavDoubleSlider* doubleSlider() const { return m_slider; }
    ui::ShadowLabel* selectedCountLabel() const { return m_count; }

signals:
    void editClicked(EditBar::Entry entry);
    void cancelClicked();
    void lockClicked();
    void backupClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutForWidth(int w);

    ui::ImageButton* m_cancel;
    ui::ImageButton* m_backupEdit;
    ui::ImageButton* m_backup;
    ui::ImageButton* m_lockEdit;
    ui::ImageButton* m_lock;
    PavDoubleSlider* m_slider;
    ui::ShadowLabel* m_count;
};
