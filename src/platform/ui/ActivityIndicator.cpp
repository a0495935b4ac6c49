#include "platform/ui/ActivityIndicator.h"

#include <QPainter>
#include <QTimer>

namespace ui {

ActivityIndicator::ActivityIndicator(QWidget* parent, QColor color) : QWidget(parent), m_color(color)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    m_timer = new QTimer(this);
    m_timer->setInterval(80);
    connect(m_timer, &QTimer::timeout, this, [this] {
        m_step = (m_step + 1) % 12;
        update();
    });
    m_timer->start();
}

void ActivityIndicator::startAnimating() { m_timer->start(); }
void ActivityIndicator::stopAnimating() { m_timer->stop(); }
bool ActivityIndicator::isAnimating() const { return m_timer->isActive(); }

void ActivityIndicator::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal side = std::min(width(), height());
    p.translate(width() / 2.0, height() / 2.0);
    const qreal inner = side * 0.22;
    const qreal outer = side * 0.48;
    for (int i = 0; i < 12; ++i) {
        QColor c = m_color;
        c.setAlphaF(0.15 + 0.85 * ((12 + m_step - i) % 12 == 0 ? 1.0 : (12 - ((12 + m_step - i) % 12)) / 12.0));
        p.setPen(QPen(c, side * 0.09, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(0, -inner), QPointF(0, -outer));
        p.rotate(30);
    }
}

}
