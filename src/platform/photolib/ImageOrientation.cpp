#include "platform/photolib/ImageOrientation.h"

#include <QTransform>

ImageOrientation orientationFromExif(int value)
{
    if (value < 1 || value > 8)
        return ImageOrientation::Up;
    return static_cast<ImageOrientation>(value - 1);
}

QImage applyOrientation(const QImage& raw, ImageOrientation orientation)
{
    if (raw.isNull())
        return raw;
    switch (orientation) {
    case ImageOrientation::Up:
        return raw;
    case ImageOrientation::UpMirrored:
        return raw.mirrored(true, false);
    case ImageOrientation::Down:
        return raw.transformed(QTransform().rotate(180));
    case ImageOrientation::DownMirrored:
        return raw.mirrored(false, true);
    case ImageOrientation::LeftMirrored:
        return raw.transformed(QTransform().rotate(90)).mirrored(true, false);
    case ImageOrientation::Right:
        return raw.transformed(QTransform().rotate(90));
    case ImageOrientation::RightMirrored:
        return raw.transformed(QTransform().rotate(-90)).mirrored(true, false);
    case ImageOrientation::Left:
        return raw.transformed(QTransform().rotate(-90));
    }
    return raw;
}

