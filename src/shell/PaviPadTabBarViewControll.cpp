#include "shell/PaviPadTabBarViewControll.h"

#include "platform/ui/ImageButton.h"
#include "platform/ui/Images.h"

#include <QLinearGradient>
#include <QPainter>

PaviPadTabBarViewControll::PaviPadTabBarViewControll(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("PaviPadTabBarViewControll"));
}

int PaviPadTabBarViewControll::addItem(const QString& title, const QString& imageName)
{
    const int index = int(m_items.size());
    auto* item = new ui::ImageButton(this);
    item->setObjectName(QStringLiteral("tabItem%1").arg(index));
    item->setGeometry(0, 40 + index * kItemHeight, kWidth, kItemHeight);
    const QPixmap icon = ui::Images::named(imageName).scaled(72, 72, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPixmap face(kWidth, kItemHeight);
    face.fill(Qt::transparent);
    {
        QPainter p(&face);
        p.setRenderHint(QPainter::Antialiasing);
        p.drawPixmap((kWidth - icon.width()) / 2, 12, icon);
        QFont f = p.font();
        f.setPixelSize(18);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRect(0, 88, kWidth, 26), Qt::AlignCenter, title);
    }
    item->setImage(face);
    item->setTitle(QString());
    item->setToolTip(title);
    connect(item, &ui::ImageButton::clicked, this, [this, index] { emit itemTapped(index); });
    m_items.append(item);
    return index;
}

void PaviPadTabBarViewControll::setSelectedIndex(int index)
{
    if (index < 0 || index >= m_items.size())
        return;
    m_selected = index;
    for (int i = 0; i < m_items.size(); ++i)
        m_items[i]->setSelected(i == index);
    update();
}

void PaviPadTabBarViewControll::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QLinearGradient g(0, 0, width(), 0);
    g.setColorAt(0, QColor(24, 27, 32));
    g.setColorAt(1, QColor(40, 44, 52));
    p.fillRect(rect(), g);
    if (auto* item = m_items.value(m_selected)) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 36));
        p.drawRoundedRect(QRectF(item->geometry()).adjusted(8, 4, -8, -4), 10, 10);
        p.setBrush(QColor(64, 156, 255));
        p.drawRect(QRectF(width() - 4, item->geometry().top() + 10, 4, item->height() - 20));
    }
    p.setPen(QColor(0, 0, 0));
    p.drawLine(width() - 1, 0, width() - 1, height());
}
