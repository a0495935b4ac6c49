#pragma once

#include <QWidget>

// The selection window of a thumbnail strip: a 5-point blue frame around a
// clear 110 × 110 window.
class PavPhotoSelectedThumbnailFrameView_iPad : public QWidget {
    Q_OBJECT
public:
    explicit PavPhotoSelectedThumbnailFrameView_iPad(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
