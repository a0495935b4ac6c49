#include "platform/photolib/FolderPhotoAsset.h"

#include "platform/photolib/ExifFacts.h"
#include "platform/photolib/LibraryFile.h"
#include "platform/photolib/NativeName.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QUrlQuery>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
FolderScan::Entry listed(const QString& root, const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const QString relative = QDir(root).relativeFilePath(absolute);
    if (std::optional<FolderScan::Entry> entry = FolderScan::stat(absolute, relative))
        return *entry;
    FolderScan::Entry missing;  // an asset that fails every read
    missing.relativePath = relative;
    return missing;
}
}

FolderPhotoAsset::FolderPhotoAsset(const QString& root, const QString& path, VideoProbe probe)
    : FolderPhotoAsset(QDir(root).absolutePath(), listed(root, path))
{
    m_probe = std::move(probe);
}

FolderPhotoAsset::FolderPhotoAsset(const QString& root, const FolderScan::Entry& entry)
    : m_path(root + QLatin1Char('/') + entry.relativePath),
      m_relativePath(entry.relativePath),
      m_ext(extensionOfPath(entry.relativePath)),
      m_kind(kindForExtension(m_ext)),
      m_size(entry.size),
      m_mtimeMs(entry.mtimeMs),
      m_mtimeNs(entry.mtimeNs),
      m_inode(entry.inode)
{
}

PhotoAssetKind FolderPhotoAsset::kindForExtension(const QString& ext)
{
    static const QStringList photos = {"JPG", "JPEG", "PNG", "GIF", "BMP", "TIF", "TIFF", "HEIC", "HEIF", "WEBP"};
    static const QStringList videos = {"MOV", "MP4", "M4V", "3GP", "AVI", "MKV"};
    if (photos.contains(ext, Qt::CaseInsensitive))
        return PhotoAssetKind::Photo;
    if (videos.contains(ext, Qt::CaseInsensitive))
        return PhotoAssetKind::Video;
    return PhotoAssetKind::Other;
}

QString FolderPhotoAsset::extensionOfPath(const QString& path)
{
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || path.indexOf(QLatin1Char('/'), dot) >= 0)
        return QString();
    return path.mid(dot + 1).toUpper();
}

QString FolderPhotoAsset::assetId() const
{
    std::call_once(m_idOnce, [this] {
        FolderScan::Entry entry;
        entry.relativePath = m_relativePath;
        entry.size = m_size;
        entry.mtimeNs = m_mtimeNs;
        m_id = idForFile(entry);
        m_url = urlFor(m_id, m_ext);
    });
    return m_id;
}

QString FolderPhotoAsset::url() const
{
    assetId();
    return m_url;
}

QString FolderPhotoAsset::formerUrl() const
{
    const QByteArray named = m_relativePath.toUtf8() + '\0' + QByteArray::number(m_inode) + ':'
        + QByteArray::number(m_mtimeNs) + ':' + QByteArray::number(m_size);
    return urlFor(idOfDigest(QCryptographicHash::hash(named, QCryptographicHash::Sha1)), m_ext);
}

QString FolderPhotoAsset::idForFile(const FolderScan::Entry& entry)
{
    // The inode stays out: a copy that keeps names, bytes and times (cp -a,
    // a restore) is the same asset. So does the fraction of the second, which
    // an archive of the usual format does not keep (a tar restore). Other
    // bytes under the same name, size and second are told apart where it
    // matters, by the private album comparing content.
    const qint64 seconds = entry.mtimeNs >= 0 ? entry.mtimeNs / 1000000000 : -((-entry.mtimeNs + 999999999) / 1000000000);
    const QByteArray named = NativeName::encode(entry.relativePath) + '\0' + QByteArray::number(seconds) + ':'
        + QByteArray::number(entry.size);
    return idOfDigest(QCryptographicHash::hash(named, QCryptographicHash::Sha1));
}

QString FolderPhotoAsset::idOfDigest(const QByteArray& digest)
{
    const QByteArray hex = digest.toHex().toUpper();
    // Shaped as a UUID (8-4-4-4-12), the form asset URLs and stored rows carry.
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
        const LibraryFile file(m_path);
        if (const std::optional<VideoFacts> facts = m_probe(file.readerPath())) {
            m_date = facts->date;
            m_duration = facts->duration;
        }
    }
    if (!m_date.isValid())
        m_date = modificationTime();
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
    const int fd = LibraryFile::openRegular(m_path);
    if (fd < 0)
        return fail(QString("cannot open %1: %2").arg(m_path, QString::fromLocal8Bit(std::strerror(errno))));
    // The file must still be the one listed, before and after the read, and
    // hold no byte past the listed size.
    auto unchanged = [this, fd] {
        struct stat st;
        return ::fstat(fd, &st) == 0 && qint64(st.st_size) == m_size && quint64(st.st_ino) == m_inode
            && qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec == m_mtimeNs;
    };
    QByteArray bytes(qsizetype(m_size), Qt::Uninitialized);
    qint64 done = 0;
    bool ok = unchanged();
    while (ok && done < m_size) {
        const ssize_t n = ::read(fd, bytes.data() + done, size_t(m_size - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    char extra = 0;
    ok = ok && done == m_size && ::read(fd, &extra, 1) == 0 && unchanged();
    ::close(fd);
    if (!ok)
        return fail(QString("%1 changed after it was listed").arg(m_path));
    *out = std::move(bytes);
    return true;
}
