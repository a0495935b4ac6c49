#include "Public/KyTextInput.h"

#include "platform/ui/ImageView.h"
#include "platform/ui/Images.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>

KyTextInput::KyTextInput(const QRect& frame, int firstLength, int secondLength, QWidget* parent) : QWidget(parent)
{
    setGeometry(frame);
    m_firstLabel = new QLabel(this);
    m_firstLabel->setGeometry(10, 0, firstLength, frame.height());
    m_firstLabel->setStyleSheet(QStringLiteral("color: #333; font-size: 18px; font-weight: bold; background: transparent;"));
    m_field = new QLineEdit(this);
    m_field->setGeometry(10 + firstLength, 0, std::min(secondLength, std::max(0, frame.width() - 10 - firstLength)),
                         frame.height());
    m_field->setFrame(false);
    setFieldFontSize(18);
}

void KyTextInput::setFieldFontSize(int pixels)
{
    // The style sheet, not setFont: a style sheet's font wins over the widget's.
    m_field->setStyleSheet(
        QStringLiteral("font-size: %1px; font-weight: bold; background: transparent; color: #222;").arg(pixels));
}

void KyTextInput::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    ui::ImageView::drawStretched(p, rect(), ui::Images::named(QStringLiteral("KyTextInput_bg")), QMargins(8, 8, 8, 8));
}
