#pragma once

#include <QImage>
#include <QSize>

namespace ui {

// A picture made smaller without stripes: each target pixel is a weighted
// average of the source area around it, four target pixels wide (a cubic
// filter stretched over the source). A plain box (each target pixel's own
// area only) leaves fine regular patterns, such as one-pixel lines a few
// pixels apart, as visible bands. Sizes not below the image's in either
// direction are taken as they are; the result is ARGB32_Premultiplied, or
// RGB32 for an image without alpha.
QImage downscaled(const QImage& image, QSize size);

}
