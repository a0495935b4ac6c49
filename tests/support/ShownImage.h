#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>

#include <functional>

class QWidget;

// What a window shows at one moment, for tests that check the screen itself:
// the rendered picture, the area a widget covers in it, and two measures of
// an area. The picture is also saved under PAV_TEST_OUTPUT_DIR for a look.
class ShownImage {
public:
    ShownImage(QWidget* window, const QString& fileName);

    const QImage& image() const { return m_image; }
    QColor pixel(int x, int y) const { return m_image.pixelColor(x, y); }
    // The widget's rectangle in the window's coordinates.
    QRect areaOf(const QWidget* widget) const;
    // The mean colour of the area.
    QColor average(const QRect& area) const;
    // How many different colours the area holds (1: a flat fill).
    int colourCount(const QRect& area) const;
    // The lightness (0 to 255) of the area's darkest pixel: for text, its colour.
    int darkest(const QRect& area) const;

private:
    void forEachPixel(const QRect& area, const std::function<void(QRgb)>& visit) const;

    QWidget* m_window;
    QImage m_image;
};
