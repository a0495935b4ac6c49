#include "support/Tap.h"

#include <QTest>
#include <QWidget>
#include <QWindow>

void tapAt(QWidget* window, QPoint pos)
{
    QWidget* top = window->window();
    const QPoint at = window->mapTo(top, pos);
    if (!top->windowHandle())
        top->show();
    QTest::mouseClick(top->windowHandle(), Qt::LeftButton, {}, at);
}
