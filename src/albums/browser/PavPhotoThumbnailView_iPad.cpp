#include "albums/browser/PavPhotoThumbnailView_iPad.h"

#include "platform/ui/ImageButton.h"
#include "platform/ui/ImageView.h"

#include <QPalette>

PavPhotoThumbnailView_iPad::PavPhotoThumbnailView_iPad(const QRect& frame, QWidget* parent)
    : QWidget(parent),
      m_imageView(new ui::ImageView(QStringLiteral("PavAlbum_BrowerLoadingPhoto_iPad.png"), this)),
      m_touchButton(new ui::ImageButton(this))
{
    setGeometry(frame);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(30, 30, 30));
    setPalette(pal);
    setAutoFillBackground(true);
    m_imageView->setGeometry(5, 5, 110, 110);
    m_imageView->setMode(ui::ImageView::Mode::AspectFit);
    m_touchButton->setGeometry(0, 0, m_imageView->width(), m_imageView->height());
}

void PavPhotoThumbnailView_iPad::setThumbnail(const QImage& image)
{
    if (image.isNull())
        return;
    m_imageView->setImage(QPixmap::fromImage(image));
    m_hasThumbnail = true;
}

void PavPhotoThumbnailView_iPad::showLoadFailed()
{
    m_imageView->setImageNamed(QStringLiteral("PavAlbum_BrowerLoadPhotoFailed_iPad.png"));
}
