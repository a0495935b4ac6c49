#include "albums/lock/PavAlbumPasswordBox.h"

#include "platform/ui/Images.h"

#include <QPainter>

PavAlbumPasswordBox::PavAlbumPasswordBox(const QRect& frame, QWidget* parent) : QWidget(parent)
{
    setGeometry(QRect(frame.topLeft(), QSize(kSide, kSide)));
    setFixedSize(kSide, kSide);
    setFocusPolicy(Qt::NoFocus);
}

void PavAlbumPasswordBox::setText(const QString& text)
{
    if (text == m_text)
        return;
    m_text = text;
    update();
}

void PavAlbumPasswordBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.drawPixmap(rect(), ui::Images::named("PavSecretAlbum_PasswordBox_iPad.png"));
    if (m_text.isEmpty())
        return;
    QFont font = p.font();
    font.setPixelSize(35);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::black);
    // The text area is the box moved up by 3 points.
    p.drawText(rect().translated(0, -3), Qt::AlignCenter, QString(QChar(0x25CF)));
}
