#include "albums/browser/PhotoZoom.h"

#include <algorithm>

double PhotoZoom::maximumScale(QSizeF image, ImageOrientation orientation, QSizeF reference)
{
    if (image.isEmpty() || reference.isEmpty())
        return 1.0;
    bool sideways = false;
    switch (orientation) {
    case ImageOrientation::Left:
    case ImageOrientation::Right:
    case ImageOrientation::LeftMirrored:
    case ImageOrientation::RightMirrored:
        sideways = true;
        break;
    default:
        break;
    }
    const QSizeF r = sideways ? reference.transposed() : reference;
    return std::max({1.0, image.width() / r.width(), image.height() / r.height()});
}

QPointF PhotoZoom::offsetForTap(QPointF tap, double scale, QSizeF frame)
{
    const double maxX = std::max(0.0, frame.width() * (scale - 1));
    const double maxY = std::max(0.0, frame.height() * (scale - 1));
    return {std::clamp(tap.x() * scale - frame.width() / 2, 0.0, maxX),
            std::clamp(tap.y() * scale - frame.height() / 2, 0.0, maxY)};
}
