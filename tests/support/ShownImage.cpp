#include "support/ShownImage.h"

#include "support/Screenshot.h"

#include <QSet>
#include <QWidget>

#include <algorithm>

ShownImage::ShownImage(QWidget* window, const QString& fileName) : m_window(window)
{
    m_image = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    saveScreenshot(window, fileName);
}

QRect ShownImage::areaOf(const QWidget* widget) const
{
    return QRect(widget->mapTo(m_window, QPoint(0, 0)), widget->size()).intersected(m_image.rect());
}

QColor ShownImage::average(const QRect& area) const
{
    qint64 r = 0, g = 0, b = 0, n = 0;
    forEachPixel(area, [&](QRgb p) {
        r += qRed(p);
        g += qGreen(p);
        b += qBlue(p);
        ++n;
    });
    return n ? QColor(int(r / n), int(g / n), int(b / n)) : QColor();
}

void ShownImage::forEachPixel(const QRect& area, const std::function<void(QRgb)>& visit) const
{
    const QRect a = area.intersected(m_image.rect());
    for (int y = a.top(); y <= a.bottom(); ++y) {
        for (int x = a.left(); x <= a.right(); ++x)
            visit(m_image.pixel(x, y));
    }
}

int ShownImage::colourCount(const QRect& area) const
{
    QSet<QRgb> colours;
    forEachPixel(area, [&](QRgb p) { colours.insert(p); });
    return int(colours.size());
}

int ShownImage::darkest(const QRect& area) const
{
    int least = 255;
    forEachPixel(area, [&](QRgb p) { least = std::min(least, QColor(p).lightness()); });
    return least;
}
