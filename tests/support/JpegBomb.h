#pragma once

#include <QByteArray>

// A real JPEG of a small picture (4:2:0, as Qt writes it) whose frame header
// is patched to claim `width` x `height`: a few kilobytes that the decoder
// takes for the whole claimed picture, its missing data read as grey.
// Progressive by default; baseline keeps the file's other markers the same.
QByteArray jpegClaiming(int width, int height, bool progressive = true);
