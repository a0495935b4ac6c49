#pragma once

#include <QWidget>

namespace ui {
class ImageButton;
}
class QLabel;
class QPixmap;

// One album on the strip: its icon button and its name below, 226 × 230
// points whatever size it is given.
class PavAlbumSelectionViewItem : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize kSize{226, 230};

    explicit PavAlbumSelectionViewItem(const QPoint& origin, QWidget* parent = nullptr);

    ui::ImageButton* albumButton() const { return m_button; }
    QLabel* albumName() const { return m_name; }
    bool selected() const { return m_selected; }
    void setSelected(bool selected);
    // A null image leaves its states as they are; the change fades in.
    void setAlbumButtonImageWithNormalImage(const QPixmap& normal, const QPixmap& selected);

private:
    ui::ImageButton* m_button;
    QLabel* m_name;
    bool m_selected = false;
};
