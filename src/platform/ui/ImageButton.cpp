#include "platform/ui/ImageButton.h"

#include "platform/ui/ImageView.h"
#include "platform/ui/Images.h"

#include <QPainter>
#include <QStyle>
#include <QRadialGradient>

namespace ui {

ImageButton::ImageButton(QWidget* parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
    m_titleColors.insert(Normal, Qt::white);
    connect(this, &QAbstractButton::pressed, this, qOverload<>(&QWidget::update));
    connect(this, &QAbstractButton::released, this, qOverload<>(&QWidget::update));
}

template <typename T>
T ImageButton::lookup(const QHash<unsigned, T>& map) const
{
    auto it = map.constFind(currentState());
    if (it != map.constEnd())
        return it.value();
    return map.value(Normal);
}

unsigned ImageButton::currentState() const
{
    if (!isEnabled())
        return Disabled;
    unsigned s = m_selected ? Selected : Normal;
    if (isDown())
        s |= Highlighted;
    return s;
}

void ImageButton::setImage(const QPixmap& image, unsigned state)
{
    m_images.insert(state, image);
    update();
}

void ImageButton::setImageNamed(const QString& name, unsigned state)
{
    setImage(Images::named(name), state);
}

void ImageButton::setBackgroundImage(const QPixmap& image, unsigned state, QMargins caps)
{
    m_backgrounds.insert(state, image);
    m_caps.insert(state, caps);
    update();
}

void ImageButton::setBackgroundImageNamed(const QString& name, unsigned state, QMargins caps)
{
    setBackgroundImage(Images::named(name), state, caps);
}

void ImageButton::setTitle(const QString& title, unsigned state)
{
    m_titles.insert(state, title);
    if (state == Normal)
        setText(title);
    update();
}

void ImageButton::setTitleColor(const QColor& color, unsigned state)
{
    m_titleColors.insert(state, color);
    update();
}

void ImageButton::setTitleShadowColor(const QColor& color, unsigned state)
{
    m_shadowColors.insert(state, color);
    update();
}

void ImageButton::setTitleFont(const QFont& font)
{
    setFont(font);
    update();
}

void ImageButton::setSelected(bool selected)
{
    if (m_selected == selected)
        return;
    m_selected = selected;
    update();
}

QPixmap ImageButton::currentImage() const { return lookup(m_images); }
QPixmap ImageButton::currentBackgroundImage() const { return lookup(m_backgrounds); }
QString ImageButton::currentTitle() const { return lookup(m_titles); }
QColor ImageButton::currentTitleColor() const { return lookup(m_titleColors); }

QSize ImageButton::sizeHint() const
{
    QSize s = lookup(m_backgrounds).size().expandedTo(lookup(m_images).size());
    return s.isEmpty() ? QSize(44, 44) : s;
}

void ImageButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QPixmap bg = currentBackgroundImage();
    if (!bg.isNull())
        ImageView::drawStretched(p, rect(), bg, lookup(m_caps));
    const QPixmap img = currentImage();
    if (!img.isNull()) {
        QSize s = img.size().scaled(size().boundedTo(img.size()), Qt::KeepAspectRatio);
        p.drawPixmap(QStyle::alignedRect(layoutDirection(), m_contentAlignment, s, rect()), img);
    }
    const QString title = currentTitle();
    if (!title.isEmpty()) {
        p.setFont(font());
        const QRect textRect = rect().marginsRemoved(m_titleInsets);
        const QColor shadow = lookup(m_shadowColors);
        if (shadow.isValid() && !m_shadowOffset.isNull()) {
            p.setPen(shadow);
            p.drawText(QRectF(textRect).translated(m_shadowOffset), Qt::AlignCenter, title);
        }
        p.setPen(currentTitleColor());
        p.drawText(textRect, Qt::AlignCenter, title);
    }
    if (m_glow && isDown()) {
        QRadialGradient g(rect().center(), std::min(width(), height()) / 2.0);
        g.setColorAt(0, QColor(255, 255, 255, 160));
        g.setColorAt(1, QColor(255, 255, 255, 0));
        p.fillRect(rect(), g);
    }
}

}
