#include "platform/ui/ImageDownscale.h"

#include <QColor>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// White with a one-pixel black column every `period` pixels.
QImage grating(int w, int h, int period)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; x += period)
            image.setPixel(x, y, qRgb(0, 0, 0));
    return image;
}

double rowSpread(const QImage& image, int y)
{
    double sum = 0;
    double squares = 0;
    for (int x = 0; x < image.width(); ++x) {
        const double grey = qGray(image.pixel(x, y));
        sum += grey;
        squares += grey * grey;
    }
    const double mean = sum / image.width();
    return std::sqrt(std::max(0.0, squares / image.width() - mean * mean));
}

TEST(ImageDownscale, FineLinesComeOutAsAnEvenGrey)
{
    // Lines three source pixels apart made three to four times smaller (a
    // picture fitted to the screen): a plain box average leaves bands of
    // 15 to 30 grey levels here.
    for (int width : {1000, 1024, 1100, 1300}) {
        const QImage small = ui::downscaled(grating(4000, 8, 3), QSize(width, 2));
        ASSERT_EQ(small.size(), QSize(width, 2));
        EXPECT_LT(rowSpread(small, 1), 9.0) << "width " << width;
        // The lines' share of black: 255 * 2/3 on average.
        EXPECT_NEAR(qGray(small.pixel(width / 2, 1)), 170, 12) << "width " << width;
    }
}

TEST(ImageDownscale, KeepsFlatColoursAndAlphaExactly)
{
    QImage plain(301, 203, QImage::Format_RGB32);
    plain.fill(QColor(12, 130, 250));
    const QImage small = ui::downscaled(plain, QSize(77, 41));
    for (int y = 0; y < small.height(); y += 5)
        for (int x = 0; x < small.width(); x += 5)
            ASSERT_EQ(small.pixel(x, y), qRgb(12, 130, 250)) << x << "," << y;

    QImage clear(64, 64, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    {
        QPainter p(&clear);
        p.fillRect(0, 0, 32, 64, QColor(255, 0, 0));
    }
    const QImage half = ui::downscaled(clear, QSize(16, 16));
    EXPECT_TRUE(half.hasAlphaChannel());
    EXPECT_EQ(half.pixelColor(2, 8), QColor(255, 0, 0));
    EXPECT_EQ(half.pixelColor(13, 8).alpha(), 0);
}

TEST(ImageDownscale, ASizeNotBelowTheImageLeavesItAsItIs)
{
    const QImage image = grating(40, 30, 3);
    EXPECT_EQ(ui::downscaled(image, QSize(40, 30)), image);
    EXPECT_EQ(ui::downscaled(image, QSize(80, 20)), image);
    EXPECT_EQ(ui::downscaled(image, QSize(0, 0)), image);
}

}
