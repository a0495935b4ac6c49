#include "platform/ui/ImageView.h"

#include "platform/ui/Images.h"

#include <QPainter>
#include <qdrawutil.h>

namespace ui {

ImageView::ImageView(QWidget* parent) : QWidget(parent) {}

ImageView::ImageView(const QString& imageName, QWidget* parent) : QWidget(parent)
{
    setImageNamed(imageName);
}

void ImageView::setImage(const QPixmap& image)
{
    m_image = image;
    update();
}

void ImageView::setImageNamed(const QString& name)
{
    setImage(Images::named(name));
}

void ImageView::drawStretched(QPainter& painter, const QRect& target, const QPixmap& image, QMargins caps)
{
    if (image.isNull())
        return;
    if (caps.isNull()) {
        painter.drawPixmap(target, image);
        return;
    }
    qDrawBorderPixmap(&painter, target, caps, image);
}

void ImageView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (m_background.alpha() > 0)
        p.fillRect(rect(), m_background);
    if (m_image.isNull())
        return;
    switch (m_mode) {
    case Mode::ScaleToFill:
        drawStretched(p, rect(), m_image, m_caps);
        break;
    case Mode::AspectFit:
    case Mode::AspectFill: {
        const QSize s = m_image.size().scaled(size(), m_mode == Mode::AspectFit ? Qt::KeepAspectRatio
                                                                                : Qt::KeepAspectRatioByExpanding);
        p.setClipRect(rect());
        p.drawPixmap(QRect(QPoint((width() - s.width()) / 2, (height() - s.height()) / 2), s), m_image);
        break;
    }
    case Mode::Center:
        p.drawPixmap((width() - m_image.width()) / 2, (height() - m_image.height()) / 2, m_image);
        break;
    }
}

}
