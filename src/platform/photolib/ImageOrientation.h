#pragma once

#include <QImage>

// How a stored image must be turned to show upright (the EXIF orientation).
enum class ImageOrientation {
    Up,             // 1
    UpMirrored,     // 2
    Down,           // 3
    DownMirrored,   // 4
    LeftMirrored,   // 5
    Right,          // 6: rotate 90° clockwise to show
    RightMirrored,  // 7
    Left,           // 8: rotate 90° counter-clockwise to show
};

// Maps an EXIF orientation value (1 to 8); anything else is Up.
ImageOrientation orientationFromExif(int value);

// Applies the orientation to a raw decode, giving the upright image.
QImage applyOrientation(const QImage& raw, ImageOrientation orientation);

