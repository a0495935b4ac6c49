#include "platform/ui/ImageView.h"

#include "platform/ui/Images.h"

#include <QPainter>
#include <qdrawutil.h>

#include <algorithm>

namespace ui {

ImageView::ImageView(QWidget* parent) : QWidget(parent) {}

ImageView::ImageView(const QString& imageName, QWidget* parent) : QWidget(parent)
{
    setImageNamed(imageName);
}

void ImageView::setImage(const QPixmap& image)
{
    m_image = image;
    m_halves.clear();
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

const QPixmap& ImageView::sourceFor(QSize target)
{
    // Bilinear filtering reads only the pixels next to each sample: below
    // half size it skips the rest, so the source is halved first.
    const QPixmap* source = &m_image;
    for (int level = 0; source->width() >= 2 * std::max(1, target.width()) &&
                        source->height() >= 2 * std::max(1, target.height());
         ++level) {
        if (level == m_halves.size()) {
            const QSize half(std::max(1, source->width() / 2), std::max(1, source->height() / 2));
            m_halves.append(QPixmap::fromImage(
                source->toImage().scaled(half, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
        }
        source = &m_halves[level];
    }
    return *source;
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
        drawStretched(p, rect(), m_caps.isNull() ? sourceFor(size() * devicePixelRatio()) : m_image, m_caps);
        break;
    case Mode::AspectFit:
    case Mode::AspectFill: {
        const QSize s = m_image.size().scaled(size(), m_mode == Mode::AspectFit ? Qt::KeepAspectRatio
                                                                                : Qt::KeepAspectRatioByExpanding);
        p.setClipRect(rect());
        p.drawPixmap(QRect(QPoint((width() - s.width()) / 2, (height() - s.height()) / 2), s),
                     sourceFor(s * devicePixelRatio()));
        break;
    }
    case Mode::Center:
        p.drawPixmap((width() - m_image.width()) / 2, (height() - m_image.height()) / 2, m_image);
        break;
    }
}

}
