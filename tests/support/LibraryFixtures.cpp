#include "support/LibraryFixtures.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QProcess>

#include <libexif/exif-data.h>

#include <cstdlib>
#include <cstring>

namespace LibraryFixtures {

namespace {

QImage halves(int width, int height, QColor color)
{
    QImage img(width, height, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.fillRect(0, 0, width / 2, height, color);
    return img;
}

QByteArray exifBlock(const std::optional<QString>& date, std::optional<int> orientation)
{
    ExifData* data = exif_data_new();
    exif_data_set_byte_order(data, EXIF_BYTE_ORDER_INTEL);
    if (orientation) {
        ExifEntry* e = exif_entry_new();
        exif_content_add_entry(data->ifd[EXIF_IFD_0], e);
        exif_entry_initialize(e, EXIF_TAG_ORIENTATION);
        exif_set_short(e->data, EXIF_BYTE_ORDER_INTEL, static_cast<ExifShort>(*orientation));
        exif_entry_unref(e);
    }
    if (date) {
        ExifEntry* e = exif_entry_new();
        exif_content_add_entry(data->ifd[EXIF_IFD_EXIF], e);
        exif_entry_initialize(e, EXIF_TAG_DATE_TIME_ORIGINAL);
        const QByteArray text = date->toLatin1().left(19);
        std::memset(e->data, 0, e->size);
        std::memcpy(e->data, text.constData(), std::min<size_t>(text.size(), e->size - 1));
        exif_entry_unref(e);
    }
    unsigned char* raw = nullptr;
    unsigned int size = 0;
    exif_data_save_data(data, &raw, &size);
    QByteArray out(reinterpret_cast<const char*>(raw), static_cast<int>(size));
    std::free(raw);
    exif_data_unref(data);
    return out;
}

}

QByteArray jpeg(int width, int height, QColor color, const std::optional<QString>& exifDate,
                std::optional<int> orientation)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    halves(width, height, color).save(&buffer, "JPG", 90);
    if (!exifDate && !orientation)
        return bytes;
    const QByteArray exif = exifBlock(exifDate, orientation);
    QByteArray segment;
    segment.append(char(0xFF)).append(char(0xE1));
    const int length = exif.size() + 2;
    segment.append(char((length >> 8) & 0xFF)).append(char(length & 0xFF));
    segment.append(exif);
    bytes.insert(2, segment);  // right after the start-of-image marker
    return bytes;
}

QByteArray image(const char* format, int width, int height, QColor color)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    halves(width, height, color).save(&buffer, format);
    return bytes;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

bool makeVideo(const QString& path, const QString& creationTime)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QStringList args{"-nostdin", "-loglevel", "error", "-y", "-f", "lavfi",
                     "-i", "testsrc=size=64x48:rate=10", "-t", "2", "-pix_fmt", "yuv420p",
                     "-c:v", "mpeg4"};
    if (!creationTime.isEmpty())
        args << "-metadata" << ("creation_time=" + creationTime);
    args << path;
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", args);
    if (!ffmpeg.waitForFinished(30000))
        return false;
    return ffmpeg.exitStatus() == QProcess::NormalExit && ffmpeg.exitCode() == 0
        && QFileInfo(path).size() > 0;
}

}
