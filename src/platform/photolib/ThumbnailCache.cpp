#include "platform/photolib/ThumbnailCache.h"

#include "platform/core/AtomicFile.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>

ThumbnailCache::ThumbnailCache(QString folder, int memoryItems)
    : m_folder(std::move(folder)), m_memory(memoryItems)
{
}

QString ThumbnailCache::keyFor(const QString& path, qint64 size, qint64 mtimeMs, const QString& variant)
{
    const QString raw = QStringLiteral("%1|%2|%3|%4").arg(path).arg(size).arg(mtimeMs).arg(variant);
    return QString::fromLatin1(
        QCryptographicHash::hash(raw.toUtf8(), QCryptographicHash::Sha1).toHex());
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
    QImage image(fileFor(key), "JPG");
    if (image.isNull())
        return image;
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
    QDir().mkpath(file.section(QLatin1Char('/'), 0, -2));
    AtomicFile::write(file, bytes);
}

