#pragma once

#include <QWidget>

namespace ui {
class ImageButton;
class ImageView;
}

// One tile of a thumbnail strip, 120 × 120: the picture (fitted in
// 110 × 110 at (5, 5), a loading picture until it arrives) and a button
// over it whose tag is the tile's index.
class PavPhotoThumbnailView_iPad : public QWidget {
    Q_OBJECT
public:
    explicit PavPhotoThumbnailView_iPad(const QRect& frame, QWidget* parent = nullptr);

    ui::ImageView* imageView() const { return m_imageView; }
    ui::ImageButton* touchButton() const { return m_touchButton; }
    // True once a picture replaced the loading one.
    bool hasThumbnail() const { return m_hasThumbnail; }
    void setThumbnail(const QImage& image);
    // The photo could not be read: the failure picture instead of "loading".
    void showLoadFailed();

private:
    ui::ImageView* m_imageView;
    ui::ImageButton* m_touchButton;
    bool m_hasThumbnail = false;
};
