#include "albums/browser/PavPhotoSelectedThumbnailFrameView_iPad.h"

#include <QPainter>

PavPhotoSelectedThumbnailFrameView_iPad::PavPhotoSelectedThumbnailFrameView_iPad(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    resize(120, 120);
}

void PavPhotoSelectedThumbnailFrameView_iPad::paintEvent(QPaintEvent*)
{
    // The bounds in blue, less the clear window (what lies beneath shows).
    QPainter p(this);
    QRegion frame(rect());
    frame -= QRegion(5, 5, 110, 110);
    p.setClipRegion(frame);
    p.fillRect(rect(), QColor(0, 186, 255));
}
