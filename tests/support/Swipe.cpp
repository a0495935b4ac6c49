#include "support/Swipe.h"

#include <QTest>
#include <QWidget>
#include <QWindow>

void swipeAcross(QWidget* window, bool toNext)
{
    QWindow* handle = window->windowHandle();
    const int y = window->height() / 2;
    const int from = toNext ? 800 : 200;
    const int to = toNext ? 200 : 800;
    const int step = toNext ? -60 : 60;
    QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(from, y));
    for (int x = from; toNext ? x >= to : x <= to; x += step)
        QTest::mouseMove(handle, QPoint(x, y));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, QPoint(to, y));
}
