#include "platform/ui/NavigationBar.h"

#include "platform/core/Localization.h"
#include "platform/ui/Images.h"
#include "platform/ui/Screen.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>

namespace ui {

namespace {
const char* kButtonStyle =
    "QPushButton { color: white; font-size: 15px; border: 1px solid rgba(0,0,0,90);"
    " border-radius: 5px; padding: 4px 10px;"
    " background: qlineargradient(x1:0,y1:0,x2:0,y2:1, stop:0 #6f7f96, stop:1 #4a5a72); }"
    "QPushButton:pressed { background: #3a4a62; }"
    "QPushButton:disabled { color: rgba(255,255,255,120); }";

void applyItem(QPushButton* button, const std::optional<BarButtonItem>& item)
{
    button->disconnect();
    if (!item) {
        button->hide();
        return;
    }
    button->setText(item->title);
    QPixmap icon = item->imageName.isEmpty() ? QPixmap() : Images::named(item->imageName);
    button->setIcon(QIcon(icon));
    if (!icon.isNull())
        button->setIconSize(icon.size().boundedTo(QSize(30, 30)));
    auto action = item->action;
    QObject::connect(button, &QPushButton::clicked, button, [action] {
        if (action)
            action();
    });
    button->adjustSize();
    button->show();
}
}

NavigationBar::NavigationBar(QWidget* parent) : QWidget(parent)
{
    m_title = new QLabel(this);
    m_title->setAlignment(Qt::AlignCenter);
    m_title->setStyleSheet(QStringLiteral("color: white; font-size: 20px; font-weight: bold;"));
    m_left = new QPushButton(this);
    m_left->setObjectName(QStringLiteral("leftBarButton"));
    m_right = new QPushButton(this);
    m_right->setObjectName(QStringLiteral("rightBarButton"));
    for (QPushButton* b : {m_left, m_right}) {
        b->setStyleSheet(QString::fromLatin1(kButtonStyle));
        b->setFocusPolicy(Qt::NoFocus);
        b->hide();
    }
}

void NavigationBar::showItemsOf(Screen* top, bool showBack)
{
    m_title->setText(top ? top->title() : QString());
    const bool back = top && showBack && !top->leftBarButtonItem() && !top->hidesBackButton();
    if (back) {
        applyItem(m_left, BarButtonItem{L("返回"), {}, [this] { emit backRequested(); }});
    } else {
        applyItem(m_left, top ? top->leftBarButtonItem() : std::nullopt);
    }
    applyItem(m_right, top ? top->rightBarButtonItem() : std::nullopt);
    layoutItems();
}

void NavigationBar::layoutItems()
{
    const int margin = 8;
    const int h = 32;
    const int y = (height() - h) / 2;
    m_left->setGeometry(margin, y, std::max(60, m_left->sizeHint().width()), h);
    const int rw = std::max(60, m_right->sizeHint().width());
    m_right->setGeometry(width() - margin - rw, y, rw, h);
    const int side = std::max(m_left->width(), rw) + 2 * margin;
    m_title->setGeometry(side, 0, std::max(0, width() - 2 * side), height());
}

void NavigationBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0, QColor(0x8a, 0x9a, 0xb0));
    g.setColorAt(1, QColor(0x5b, 0x6b, 0x84));
    p.fillRect(rect(), g);
    p.setPen(QColor(0x2d, 0x38, 0x48));
    p.drawLine(0, height() - 1, width(), height() - 1);
}

void NavigationBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutItems();
}

}
