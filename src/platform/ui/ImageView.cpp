#include "platform/ui/ImageView.h"

#include "platform/ui/ImageDownscale.h"
#include "platform/ui/Images.h"

#include <QPainter>
#include <qdrawutil.h>

#include <algorithm>

namespace ui {

ImageView::ImageView(QWidget* parent) : QWidget(parent), m_settle(new QTimer(this))
{
    m_settle->setSingleShot(true);
    m_settle->setInterval(kSettleMs);
    connect(m_settle, &QTimer::timeout, this, &ImageView::refineFitted);
}

ImageView::ImageView(const QString& imageName, QWidget* parent) : ImageView(parent)
{
    setImageNamed(imageName);
}

void ImageView::setImage(const QPixmap& image)
{
    m_image = image;
    m_halves.clear();
    m_fitted = QPixmap();
    m_fittedTarget = QSize();
    m_settle->stop();
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

const QPixmap& ImageView::halvedFor(QSize target, int factor)
{
    const QPixmap* source = &m_image;
    for (int level = 0;
         source->width() >= factor * target.width() && source->height() >= factor * target.height(); ++level) {
        if (level == m_halves.size()) {
            const QSize half(std::max(1, source->width() / 2), std::max(1, source->height() / 2));
            m_halves.append(QPixmap::fromImage(
                source->toImage().scaled(half, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
        }
        source = &m_halves[level];
    }
    return *source;
}

const QPixmap& ImageView::sourceFor(QSize target)
{
    target = target.expandedTo(QSize(1, 1));
    if (m_image.width() <= target.width() && m_image.height() <= target.height())
        return m_image;
    if (m_fittedTarget == target)
        return m_fitted;
    // Bilinear filtering reads only the pixels next to each sample: below
    // the image's size it skips the rest, so the copy drawn is made at the
    // size shown. Qt's smooth scale averages each target pixel's own area
    // (quick, from a halved copy under twice the size); that still leaves
    // bands of a fine regular pattern, which the finer copy removes.
    const QPixmap& source = halvedFor(target, 2);
    m_fitted = source.size() == target ? source
                                        : QPixmap::fromImage(source.toImage().scaled(
                                              target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    m_fittedTarget = target;
    m_fittedFine = false;
    m_settle->start();
    return m_fitted;
}

void ImageView::refineFitted()
{
    if (m_fittedFine || m_fittedTarget.isEmpty())
        return;
    // Under four times the size the finer average stays cheap.
    const QPixmap& source = halvedFor(m_fittedTarget, 4);
    m_fitted = QPixmap::fromImage(downscaled(source.toImage(), m_fittedTarget));
    m_fittedFine = true;
    update();
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
        // A picture a pixel thin keeps that pixel: fitted, its side would
        // round to nothing and it would not be drawn at all.
        const QSize s = m_image.size()
                            .scaled(size(), m_mode == Mode::AspectFit ? Qt::KeepAspectRatio
                                                                      : Qt::KeepAspectRatioByExpanding)
                            .expandedTo(QSize(1, 1));
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
