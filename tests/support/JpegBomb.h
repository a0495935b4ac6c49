#pragma once

#include <QByteArray>
#include <QImage>

// `image` as Qt writes a JPEG (4:2:0, quality 90), progressive or baseline.
QByteArray jpegOf(const QImage& image, bool progressive);

// A real JPEG of a small picture whose frame header is patched to claim
// `width` x `height`: a few kilobytes that the decoder takes for the whole
// claimed picture, its missing data read as grey. Progressive by default;
// baseline keeps the file's other markers the same.
QByteArray jpegClaiming(int width, int height, bool progressive = true);

// A baseline JPEG claiming `width` x `height` whose first scan carries its
// first component alone, so the decoder keeps every coefficient of the
// picture until the last scan; `afterFrame` is put between its frame header
// and the next marker (libjpeg passes over bytes there that are no marker).
QByteArray multiScanJpegClaiming(int width, int height, const QByteArray& afterFrame = {});
