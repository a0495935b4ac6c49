#pragma once

#include "platform/photolib/ImageOrientation.h"

#include <QPointF>
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
};
