#pragma once

#include <QImage>
#include <QRect>
#include <QString>

#include <utility>

class QWidget;

// Saves widget->grab() as PNG under PAV_TEST_OUTPUT_DIR; returns the path
// (empty when it could not be written).
QString saveScreenshot(QWidget* widget, const QString& fileName);

// The mean difference per colour channel (0..255) between two images over
// `area` (in both), sampled every 4 pixels; 255 when the area is not in both.
double meanDifference(const QImage& a, const QImage& b, const QRect& area);

// The darkest and the lightest grey (0..255) over `area` of `image`.
std::pair<int, int> greyRange(const QImage& image, const QRect& area);
// The standard deviation of the grey (0..255) over `area` of `image`: how
// far a pattern drawn there stands out from an even tone.
double greySpread(const QImage& image, const QRect& area);
