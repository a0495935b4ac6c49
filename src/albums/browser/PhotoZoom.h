#pragma once

#include "platform/photolib/ImageOrientation.h"

#include <QByteArray>
#include <QPointF>
#include <QSize>
#include <QSizeF>

// The zoom arithmetic of the browsers' large pictures.
class PhotoZoom {
public:
    // The largest zoom: up to the picture's own pixel size, never below the
    // view (1.0). `reference` is the size the picture is fitted in at zoom 1;
    // a sideways orientation swaps the picture's sides.
    static double maximumScale(QSizeF image, ImageOrientation orientation, QSizeF reference);

    // The content offset after zooming to `scale` on a double tap at `tap`
    // (view coordinates), with `frame` the zooming view's size: the tapped
    // point comes to the middle as far as the picture's edges allow.
    static QPointF offsetForTap(QPointF tap, double scale, QSizeF frame);

    // The picture's size as it is shown (its EXIF orientation applied), read
    // from its header without decoding; invalid when the bytes are no picture.
    static QSize uprightSize(const QByteArray& bytes);

    // The size to decode a picture of `original` (upright) pixels at, so that
    // at `zoom` in a `view` it is fitted in it shows no fewer pixels than
    // the screen does: never more than the original nor than the largest
    // full decode. Invalid when `decoded` pixels are already enough.
    static QSize sharperSize(QSize original, QSize decoded, QSizeF view, double zoom);
};
