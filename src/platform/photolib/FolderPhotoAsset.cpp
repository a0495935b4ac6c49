#include "platform/photolib/FolderPhotoAsset.h"

#include "platform/photolib/ExifFacts.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrlQuery>

FolderPhotoAsset::FolderPhotoAsset(const QString& root, const QString& path, VideoProbe probe)
    : m_path(QFileInfo(path).absoluteFilePath()),
      m_relativePath(QDir(root).relativeFilePath(m_path)),
      m_ext(QFileInfo(path).suffix().toUpper()),
      m_id(idForRelativePath(m_relativePath)),
      m_url(urlFor(m_id, m_ext)),
      m_kind(kindForExtension(m_ext)),
      m_probe(std::move(probe))
{
    const QFileInfo info(m_path);
    m_size = info.size();
    m_mtime = info.lastModified().toUTC();
}

FolderPhotoAsset::FolderPhotoAsset(const QString& root, const QString& relativePath, qint64 size,
                                   const QDateTime& mtime)
    : m_path(root + QLatin1Char('/') + relativePath),
      m_relativePath(relativePath),
      m_ext(QFileInfo(relativePath).suffix().toUpper()),
      m_id(idForRelativePath(m_relativePath)),
      m_url(urlFor(m_id, m_ext)),
      m_kind(kindForExtension(m_ext)),
      m_size(size),
      m_mtime(mtime)
{
}

PhotoAssetKind FolderPhotoAsset::kindForExtension(const QString& ext)
{
    static const QStringList photos = {"JPG", "JPEG", "PNG", "GIF", "BMP", "TIF", "TIFF", "HEIC", "HEIF", "WEBP"};
    static const QStringList videos = {"MOV", "MP4", "M4V", "3GP", "AVI", "MKV"};
    const QString upper = ext.toUpper();
    if (photos.contains(upper))
        return PhotoAssetKind::Photo;
    if (videos.contains(upper))
        return PhotoAssetKind::Video;
    return PhotoAssetKind::Other;
}

QString FolderPhotoAsset::idForRelativePath(const QString& relativePath)
{
    const QByteArray digest = QCryptographicHash::hash(relativePath.toUtf8(), QCryptographicHash::Sha1);
    const QByteArray hex = digest.toHex().toUpper();
    // Shaped like the platform's ids: 8-4-4-4-12.
    return QString::fromLatin1(hex.mid(0, 8) + "-" + hex.mid(8, 4) + "-" + hex.mid(12, 4) + "-" + hex.mid(16, 4)
                               + "-" + hex.mid(20, 12));
}

QString FolderPhotoAsset::urlFor(const QString& id, const QString& ext)
{
    return "assets-library://asset/asset." + ext + "?id=" + id + "&ext=" + ext;
}

QString FolderPhotoAsset::idOfUrl(const QString& url)
{
    if (!url.startsWith("assets-library://asset/"))
        return QString();
    const qsizetype q = url.indexOf('?');
    if (q < 0)
        return QString();
    return QUrlQuery(url.mid(q + 1)).queryItemValue("id");
}

QDateTime FolderPhotoAsset::date() const
{
    std::call_once(m_factsOnce, [this] { resolveFacts(); });
    return m_date;
}

double FolderPhotoAsset::duration() const
{
    std::call_once(m_factsOnce, [this] { resolveFacts(); });
    return m_duration;
}

void FolderPhotoAsset::resolveFacts() const
{
    if (m_kind == PhotoAssetKind::Photo)
        m_date = ExifFacts::read(m_path).date.value_or(QDateTime());
    if (m_kind == PhotoAssetKind::Video && m_probe) {
        if (const std::optional<VideoFacts> facts = m_probe(m_path)) {
            m_date = facts->date;
            m_duration = facts->duration;
        }
    }
    if (!m_date.isValid())
        m_date = m_mtime;
}

bool FolderPhotoAsset::readAll(QByteArray* out, QString* error) const
{
    out->clear();
    auto fail = [error](const QString& text) {
        if (error)
            *error = text;
        return false;
    };
    if (m_size <= 0)
        return fail("empty asset");
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    QByteArray bytes(qsizetype(m_size), Qt::Uninitialized);
    qint64 done = 0;
    while (done < m_size) {
        const qint64 n = file.read(bytes.data() + done, m_size - done);
        if (n <= 0)
            return fail(QString("short read: %1 of %2 bytes").arg(done).arg(m_size));
        done += n;
    }
    *out = std::move(bytes);
    return true;
}
