#include "platform/photolib/ThumbnailCache.h"

#include "platform/core/RegularFile.h"
#include "platform/media/ImageCodec.h"
#include "platform/photolib/CacheFile.h"
#include "platform/photolib/NativeName.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace {
bool isLink(const QString& path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

// A symbolic link at path loses its name, never what it leads to.
void removeLink(const QString& path)
{
    if (!isLink(path))
        return;
    const bool removed = ::unlink(QFile::encodeName(path).constData()) == 0;
    qWarning("thumbnail cache: %s is a symbolic link, not the cache's own folder; %s", qPrintable(path),
             removed ? "the link was removed and a fresh folder is made" : "it cannot be removed, nothing is swept there");
}
}

ThumbnailCache::ThumbnailCache(QString folder, int memoryItems, qint64 diskBytes)
    : m_folder(std::move(folder)), m_diskLimit(diskBytes), m_memory(memoryItems)
{
    // The cache deletes what its folder holds (prune, trim): a link at the
    // folder, or at the one the library made for it, would have it delete
    // the files of the folder it leads to.
    removeLink(QFileInfo(m_folder).path());
    removeLink(m_folder);
}

QString ThumbnailCache::keyFor(const QString& path, qint64 size, qint64 mtimeMs, const QString& variant)
{
    const QString raw = QStringLiteral("%1|%2|%3|%4").arg(path).arg(size).arg(mtimeMs).arg(variant);
    return QString::fromLatin1(
        QCryptographicHash::hash(NativeName::encode(raw), QCryptographicHash::Sha1).toHex());
}

QString ThumbnailCache::fileFor(const QString& key) const
{
    return m_folder + QLatin1Char('/') + key.left(2) + QLatin1Char('/') + key + QStringLiteral(".jpg");
}

QImage ThumbnailCache::find(const QString& key)
{
    {
        std::lock_guard lock(m_mutex);
        if (const QImage* hit = m_memory.object(key))
            return *hit;
    }
    const QString file = fileFor(key);
    QByteArray bytes;
    if (!RegularFile::read(file, RegularFile::Cap::kThumbnail, &bytes)) {
        // A link, a pipe or an oversized file in the cache is not one it wrote.
        if (errno != ENOENT)
            QFile::remove(file);
        return QImage();
    }
    // Written without a sync: after a crash a file may be cut short or end
    // in zeros. One without the JPEG end marker is dropped and made again
    // (the decoder would show what is missing as grey). A planted entry is a
    // picture like any other: its decode is bounded by the decode budget.
    QImage image = bytes.endsWith("\xFF\xD9") ? ImageCodec::decode(bytes) : QImage();
    if (image.isNull()) {
        QFile::remove(file);
        return image;
    }
    // Its time tells the trim what was used last.
    ::utimensat(AT_FDCWD, QFile::encodeName(file).constData(), nullptr, 0);
    std::lock_guard lock(m_mutex);
    m_memory.insert(key, new QImage(image));
    return image;
}

void ThumbnailCache::store(const QString& key, const QImage& image)
{
    if (image.isNull())
        return;
    {
        std::lock_guard lock(m_mutex);
        m_memory.insert(key, new QImage(image));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "JPG", 88))
        return;
    const QString file = fileFor(key);
    const qint64 replaced = QFileInfo(file).size();
    if (!CacheFile::write(file, bytes))
        return;
    std::lock_guard lock(m_diskMutex);
    if (m_diskBytes < 0)
        trimTo(m_diskLimit, storedFiles());  // first store: the folder is measured, this file included
    else
        m_diskBytes += bytes.size() - replaced;
    // Trimmed to nine tenths, so the next stores do not walk the folder again.
    if (m_diskBytes > m_diskLimit)
        trimTo(m_diskLimit / 10 * 9, storedFiles());
}

qint64 ThumbnailCache::diskBytes()
{
    std::lock_guard lock(m_diskMutex);
    if (m_diskBytes < 0)
        trimTo(m_diskLimit, storedFiles());
    return m_diskBytes;
}

std::vector<ThumbnailCache::StoredFile> ThumbnailCache::storedFiles() const
{
    std::vector<StoredFile> files;
    // Subfolders that are links are not walked into; nor is the folder when it became one.
    if (isLink(m_folder) || isLink(QFileInfo(m_folder).path()))
        return files;
    QDirIterator it(m_folder, {QStringLiteral("*.jpg")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        files.push_back(StoredFile{info.filePath(), info.size(), info.lastModified().toMSecsSinceEpoch()});
    }
    return files;
}

void ThumbnailCache::trimTo(qint64 target, std::vector<StoredFile> files)
{
    qint64 total = 0;
    for (const StoredFile& f : files)
        total += f.size;
    std::sort(files.begin(), files.end(), [](const StoredFile& a, const StoredFile& b) { return a.usedMs < b.usedMs; });
    for (auto f = files.begin(); total > target && f != files.end(); ++f) {
        if (QFile::remove(f->path))
            total -= f->size;
    }
    m_diskBytes = total;
}

void ThumbnailCache::prune(const QSet<QString>& live)
{
    std::vector<StoredFile> kept;
    {
        std::lock_guard lock(m_mutex);
        for (const QString& key : m_memory.keys()) {
            if (!live.contains(key))
                m_memory.remove(key);
        }
    }
    std::lock_guard lock(m_diskMutex);
    for (StoredFile& f : storedFiles()) {
        if (live.contains(QFileInfo(f.path).completeBaseName()) || !QFile::remove(f.path))
            kept.push_back(std::move(f));
    }
    trimTo(m_diskLimit, std::move(kept));
}
