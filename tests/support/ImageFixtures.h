#pragma once

#include <QByteArray>
#include <QColor>
#include <QDateTime>
#include <QImage>
#include <QString>

// Image fixtures made by the tests themselves.
namespace ImageFixtures {

// A w x h image filled with a gradient and a few shapes, so that encoders
// produce realistic sizes.
QImage pattern(int w, int h, int seed = 0);
// pattern() with fine detail in its middle half: a white block of one-pixel
// black lines two pixels apart, and a line of small print in its centre.
QImage fineLines(int w, int h, int seed = 0);
// The same with two-pixel gaps between the lines (one line every third
// pixel): halving a picture does not average these to an even grey.
QImage grating(int w, int h, int seed = 0);
// One-pixel black lines every third pixel on white, at one bit per pixel
// (Format_Mono), as a scan of line art is stored.
QImage oneBitLines(int w, int h);
// Whether every row of the image is the same and their mean grey is within
// `tolerance` of `grey`: a picture of vertical lines scaled smoothly.
bool evenColumns(const QImage& image, int grey, int tolerance);
QImage solid(int w, int h, const QColor& color);
// Encoded in the given format ("jpeg", "png", "gif", "bmp").
QByteArray encode(const QImage& image, const char* format, int quality = 90);
QByteArray jpeg(int w, int h, int seed = 0);
// A PNG of one colour written row by row, so its size is not limited by
// what a QImage may hold (a 20000 x 20000 one is about 1 MB); in one of the
// layouts common tools write (grey is the colour's grey).
enum class PngLayout { Rgb, Palette, Grey16, InterlacedRgb };
QByteArray plainPng(int w, int h, const QColor& color, PngLayout layout = PngLayout::Rgb);
// A side x side PNG of one colour at one bit per pixel, deflated as tightly
// as zlib can: 100000 x 100000 (ten billion pixels) is about 1.2 MB. Made
// in well under a second, without deflating every row.
QByteArray bilevelPng(int side, const QColor& color);

// Inserts an EXIF block right after the JPEG's SOI marker holding the given
// dates ("YYYY:MM:DD HH:MM:SS"; empty ones are left out) and, when not 1, an
// orientation.
QByteArray withExif(const QByteArray& jpeg, const QByteArray& original, const QByteArray& digitized,
                    const QByteArray& dateTime, int orientation = 1);

bool writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);
bool setModified(const QString& path, const QDateTime& when);

}
