#include "platform/photolib/ExifDateReader.h"

#include <QFile>

#include <libexif/exif-data.h>
#include <libexif/exif-loader.h>

namespace {
QByteArray entryText(ExifData* data, ExifIfd ifd, ExifTag tag)
{
    ExifEntry* entry = exif_content_get_entry(data->ifd[ifd], tag);
    if (!entry || entry->format != EXIF_FORMAT_ASCII || !entry->data || entry->size == 0)
        return QByteArray();
    QByteArray text(reinterpret_cast<const char*>(entry->data), int(entry->size));
    const qsizetype nul = text.indexOf('\0');
    if (nul >= 0)
        text.truncate(nul);
    return text;
}
}

QDateTime ExifDateReader::parse(const QByteArray& text)
{
    const QDateTime local = QDateTime::fromString(QString::fromLatin1(text.trimmed()), "yyyy:MM:dd HH:mm:ss");
    return local.isValid() ? local.toUTC() : QDateTime();
}

// The EXIF block is parsed with libexif's fix-ups turned off: they would
// fill missing mandatory tags with made-up values, a DateTime of now among
// them.
QDateTime ExifDateReader::dateOfFile(const QString& path)
{
    ExifLoader* loader = exif_loader_new();
    if (!loader)
        return QDateTime();
    exif_loader_write_file(loader, QFile::encodeName(path).constData());
    const unsigned char* buf = nullptr;
    unsigned int size = 0;
    exif_loader_get_buf(loader, &buf, &size);
    QDateTime found;
    ExifData* data = buf && size ? exif_data_new() : nullptr;
    if (data) {
        // Option bit 1 makes libexif add missing mandatory tags, a made-up
        // "now" date among them: keep it off.
        exif_data_unset_option(data, static_cast<ExifDataOption>(1 << 1));
        exif_data_load_data(data, buf, size);
        const QByteArray candidates[] = {
            entryText(data, EXIF_IFD_EXIF, EXIF_TAG_DATE_TIME_ORIGINAL),
            entryText(data, EXIF_IFD_EXIF, EXIF_TAG_DATE_TIME_DIGITIZED),
            entryText(data, EXIF_IFD_0, EXIF_TAG_DATE_TIME),
        };
        for (const QByteArray& text : candidates) {
            found = ExifDateReader::parse(text);
            if (found.isValid())
                break;
        }
        exif_data_unref(data);
    }
    exif_loader_unref(loader);
    return found;
}
