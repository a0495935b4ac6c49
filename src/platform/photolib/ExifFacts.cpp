#include "platform/photolib/ExifFacts.h"

#include "platform/photolib/LibraryFile.h"


#include <libexif/exif-data.h>
#include <libexif/exif-loader.h>

#include <cerrno>
#include <memory>
#include <unistd.h>

namespace {

struct ExifDataCloser {
    void operator()(ExifData* data) const { exif_data_unref(data); }
};

struct ExifLoaderCloser {
    void operator()(ExifLoader* loader) const { exif_loader_unref(loader); }
};

// Parses the file's EXIF block with libexif's fix-ups off: they would fill
// missing mandatory tags with made-up values, a DateTime of now among them.
// (exif_data_new_from_file turns them on.)
std::unique_ptr<ExifData, ExifDataCloser> loadExif(const QString& path)
{
    std::unique_ptr<ExifLoader, ExifLoaderCloser> loader(exif_loader_new());
    if (!loader)
        return nullptr;
    // Fed here rather than by libexif's own fopen, which waits for ever on
    // a pipe that took the photo's name.
    const int fd = LibraryFile::openRegular(path);
    if (fd < 0)
        return nullptr;
    unsigned char piece[1024];
    for (;;) {
        const ssize_t n = ::read(fd, piece, sizeof piece);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 || !exif_loader_write(loader.get(), piece, unsigned(n)))
            break;
    }
    ::close(fd);
    const unsigned char* buf = nullptr;
    unsigned int size = 0;
    exif_loader_get_buf(loader.get(), &buf, &size);
    if (!buf || size == 0)
        return nullptr;
    std::unique_ptr<ExifData, ExifDataCloser> data(exif_data_new());
    if (!data)
        return nullptr;
    // Option bit 1 makes libexif add missing mandatory tags, a made-up "now"
    // date among them: keep it off.
    exif_data_unset_option(data.get(), static_cast<ExifDataOption>(1 << 1));
    exif_data_load_data(data.get(), buf, size);
    return data;
}

constexpr int kTagOffsetTime = 0x9010;
constexpr int kTagOffsetTimeOriginal = 0x9011;
constexpr int kTagOffsetTimeDigitized = 0x9012;

QString asciiValue(ExifData* data, ExifIfd ifd, int tag)
{
    ExifEntry* entry = exif_content_get_entry(data->ifd[ifd], static_cast<ExifTag>(tag));
    if (!entry || entry->format != EXIF_FORMAT_ASCII || !entry->data || entry->size == 0)
        return {};
    // The value need not be terminated: take at most its stored size.
    const auto* bytes = reinterpret_cast<const char*>(entry->data);
    return QString::fromLatin1(bytes, static_cast<int>(qstrnlen(bytes, entry->size))).trimmed();
}

}

std::optional<QDateTime> ExifFacts::parseDate(const QString& text, const QString& offset,
                                              const QTimeZone& zone)
{
    const QDateTime local = QDateTime::fromString(text.left(19), QStringLiteral("yyyy:MM:dd HH:mm:ss"));
    if (!local.isValid())
        return std::nullopt;
    QTimeZone where = zone;
    if (!offset.isEmpty()) {
        const QDateTime probe =
            QDateTime::fromString(QStringLiteral("2000-01-01T00:00:00") + offset, Qt::ISODate);
        if (probe.isValid())
            where = QTimeZone(probe.offsetFromUtc());
    }
    const QDateTime placed(local.date(), local.time(), where);
    if (!placed.isValid())
        return std::nullopt;
    return placed.toUTC();
}

ExifFacts ExifFacts::read(const QString& path, const QTimeZone& zone)
{
    ExifFacts facts;
    const auto data = loadExif(path);
    if (!data)
        return facts;

    if (ExifEntry* entry = exif_content_get_entry(data->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION)) {
        if (entry->format == EXIF_FORMAT_SHORT && entry->size >= 2)
            facts.orientation = exif_get_short(entry->data, exif_data_get_byte_order(data.get()));
    }

    struct Candidate {
        ExifIfd ifd;
        int tag;
        int offsetTag;
    };
    const Candidate candidates[] = {
        {EXIF_IFD_EXIF, EXIF_TAG_DATE_TIME_ORIGINAL, kTagOffsetTimeOriginal},
        {EXIF_IFD_EXIF, EXIF_TAG_DATE_TIME_DIGITIZED, kTagOffsetTimeDigitized},
        {EXIF_IFD_0, EXIF_TAG_DATE_TIME, kTagOffsetTime},
    };
    for (const Candidate& c : candidates) {
        const QString text = asciiValue(data.get(), c.ifd, c.tag);
        if (text.isEmpty())
            continue;
        const QString offset = asciiValue(data.get(), EXIF_IFD_EXIF, c.offsetTag);
        if (auto date = parseDate(text, offset, zone)) {
            facts.date = date;
            break;
        }
    }
    return facts;
}

