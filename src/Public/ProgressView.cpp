#include "Public/ProgressView.h"

#include "platform/ui/ActivityIndicator.h"

#include <QPainter>

ProgressView::ProgressView(QWidget* parent) : QWidget(parent)
{
    m_indicator = new ui::ActivityIndicator(this);
}

ProgressView::ProgressView(const QRect& frame, QWidget* parent) : ProgressView(parent)
{
    setGeometry(frame);
    layoutIndicator();
}

void ProgressView::layoutIndicator()
{
    m_indicator->setGeometry((width() - 20) / 2, (height() - 20) / 2, 20, 20);
}

QRect ProgressView::boxRect() const
{
    return QRect((width() - 80) / 2, (height() - 80) / 2, 80, 80);
}

void ProgressView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, int(0.6 * 255)));
    p.drawRoundedRect(boxRect(), 10, 10);
}

void ProgressView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutIndicator();
}
