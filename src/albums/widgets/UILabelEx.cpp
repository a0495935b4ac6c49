#include "albums/widgets/UILabelEx.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>

UILabelEx::UILabelEx(const QRect& frame, qreal lineWidth, QWidget* parent)
    : QLabel(parent), m_lineWidth(lineWidth)
{
    setGeometry(frame);
    m_defaultFont = font();
    m_defaultFont.setPixelSize(15);
    setFont(m_defaultFont);
    setAttribute(Qt::WA_TranslucentBackground);
    setWordWrap(false);
    setTextColor(m_defaultColor);
}

void UILabelEx::setDefaultColor(const QColor& color)
{
    m_defaultColor = color;
    setTextColor(color);
}

QColor UILabelEx::textColor() const
{
    return palette().color(QPalette::WindowText);
}

void UILabelEx::setTextColor(const QColor& color)
{
    QPalette p = palette();
    p.setColor(QPalette::WindowText, color);
    setPalette(p);
    update();
}

QString UILabelEx::shownText() const
{
    return QFontMetricsF(font()).elidedText(text(), Qt::ElideRight, width());
}

QLineF UILabelEx::underline() const
{
    const QFontMetricsF metrics(font());
    const qreal textWidth = metrics.horizontalAdvance(shownText());
    const qreal y = height() / 2.0 + metrics.height() / 2.0;
    return QLineF(0, y, textWidth, y);
}

void UILabelEx::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(textColor());
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter, shownText());
    QPen pen(m_defaultColor);
    pen.setWidthF(m_lineWidth);
    painter.setPen(pen);
    painter.drawLine(underline());
}

void UILabelEx::mousePressEvent(QMouseEvent* event)
{
    setTextColor(QColor(kPressedColor));
    event->accept();
}

void UILabelEx::mouseReleaseEvent(QMouseEvent* event)
{
    setTextColor(m_defaultColor);
    const QPointF at = event->position();
    if (at.x() >= 0 && at.x() <= width() && at.y() >= 0 && at.y() <= height()) {
        if (auto* delegate = m_delegate.get())
            delegate->labelEx(this, m_tag);
    }
    event->accept();
}
