#include "Public/PaviPadTableViewCell.h"

#include "platform/ui/ImageView.h"
#include "platform/ui/Images.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

PaviPadTableViewCell::PaviPadTableViewCell(QWidget* parent) : QWidget(parent)
{
    m_text = new QLabel(this);
    m_text->setStyleSheet(QStringLiteral("color: #222; font-size: 18px; font-weight: bold; background: transparent;"));
    m_detail = new QLabel(this);
    m_detail->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_detail->setStyleSheet(QStringLiteral("color: rgb(56,84,135); font-size: 17px; background: transparent;"));
    m_indicator = new ui::ImageView(QStringLiteral("PaviPadTableViewCell_arrow"), this);
}

void PaviPadTableViewCell::setHighlighted(bool highlighted)
{
    m_highlighted = highlighted;
    update();
}

void PaviPadTableViewCell::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QString name = m_highlighted ? QStringLiteral("PaviPadTableViewCell_bg_selected")
                                       : QStringLiteral("PaviPadTableViewCell_bg");
    ui::ImageView::drawStretched(p, rect(), ui::Images::named(name), QMargins(4, 4, 4, 4));
}

void PaviPadTableViewCell::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int right = width() - 14;
    m_indicator->setGeometry(right - kIndicatorWidth, (height() - kIndicatorHeight) / 2, kIndicatorWidth, kIndicatorHeight);
    m_text->setGeometry(16, 0, width() / 2, height());
    m_detail->setGeometry(width() / 2, 0, right - kIndicatorWidth - 10 - width() / 2, height());
}

void PaviPadTableViewCell::mousePressEvent(QMouseEvent* event)
{
    setHighlighted(true);
    event->accept();
}

void PaviPadTableViewCell::mouseReleaseEvent(QMouseEvent* event)
{
    setHighlighted(false);
    if (rect().contains(event->position().toPoint()))
        emit tapped();
}
