#include "support/Screenshot.h"

#include <QDir>
#include <QPixmap>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <cstdlib>

QString saveScreenshot(QWidget* widget, const QString& fileName)
{
    const QString dir = QStringLiteral(PAV_TEST_OUTPUT_DIR);
    if (!QDir().mkpath(dir) || !widget)
        return {};
    const QString path = dir + "/" + fileName;
    return widget->grab().save(path, "PNG") ? path : QString();
}

double meanDifference(const QImage& a, const QImage& b, const QRect& area)
{
    if (area.isEmpty() || !a.rect().contains(area) || !b.rect().contains(area))
        return 255;
    double sum = 0;
    int samples = 0;
    for (int y = area.top(); y <= area.bottom(); y += 4) {
        for (int x = area.left(); x <= area.right(); x += 4) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
            samples += 3;
        }
    }
    return sum / samples;
}

std::pair<int, int> greyRange(const QImage& image, const QRect& area)
{
    int darkest = 255;
    int lightest = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const int grey = qGray(image.pixel(x, y));
            darkest = std::min(darkest, grey);
            lightest = std::max(lightest, grey);
        }
    }
    return {darkest, lightest};
}

double greySpread(const QImage& image, const QRect& area)
{
    double sum = 0;
    double squares = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const double grey = qGray(image.pixel(x, y));
            sum += grey;
            squares += grey * grey;
        }
    }
    const double n = std::max<qsizetype>(1, qsizetype(area.width()) * area.height());
    const double mean = sum / n;
    return std::sqrt(std::max(0.0, squares / n - mean * mean));
}
