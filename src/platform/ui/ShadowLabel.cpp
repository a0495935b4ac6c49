#include "platform/ui/ShadowLabel.h"

#include <QPainter>

namespace ui {

ShadowLabel::ShadowLabel(QWidget* parent) : QLabel(parent) {}

ShadowLabel::ShadowLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

void ShadowLabel::setTextColor(const QColor& color)
{
    m_color = color;
    update();
}

void ShadowLabel::setShadow(const QColor& color, QPointF offset)
{
    m_shadow = color;
    m_offset = offset;
    update();
}

void ShadowLabel::setFontSize(int points, bool bold)
{
    QFont f = font();
    f.setPixelSize(points);
    f.setBold(bold);
    setFont(f);
}

QString ShadowLabel::shownText() const
{
    if (m_elide == Qt::ElideNone)
        return text();
    return QFontMetrics(font()).elidedText(text(), m_elide, contentsRect().width());
}

void ShadowLabel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(font());
    const QRectF r = contentsRect();
    if (m_shadow.isValid() && !m_offset.isNull()) {
        p.setPen(m_shadow);
        p.drawText(r.translated(m_offset), int(alignment()), shownText());
    }
    p.setPen(m_color);
    p.drawText(r, int(alignment()), shownText());
}

}
