#pragma once

#include <QCache>
#include <QImage>
#include <QSet>
#include <QString>

#include <mutex>
#include <vector>

// Thumbnails kept in memory (least recently used dropped first) and as small
// JPEG files in a folder under Library/Caches, so a library opened again
// decodes none of the originals it has shown before. The folder is bounded:
// past its byte limit the least recently used files go, and prune() drops
// the files of thumbnails whose originals are gone. Safe from any thread.
class ThumbnailCache {
public:
    static constexpr qint64 kDefaultDiskBytes = 200LL * 1024 * 1024;

    explicit ThumbnailCache(QString folder, int memoryItems = 800, qint64 diskBytes = kDefaultDiskBytes);

    // The key changes whenever the file is replaced or edited.
    static QString keyFor(const QString& path, qint64 size, qint64 mtimeMs, const QString& variant);

    QImage find(const QString& key);
    void store(const QString& key, const QImage& image);

    // Removes every stored thumbnail whose key is not in live, then trims the
    // folder to its bound.
    void prune(const QSet<QString>& live);
    // Bytes the folder's thumbnails take (measured when first asked).
    qint64 diskBytes();

private:
    struct StoredFile {
        QString path;
        qint64 size;
        qint64 usedMs;
    };
    QString fileFor(const QString& key) const;
    std::vector<StoredFile> storedFiles() const;
    // Deletes the least recently used files until the folder holds at most
    // target bytes. Called with m_diskMutex held.
    void trimTo(qint64 target, std::vector<StoredFile> files);

    QString m_folder;
    qint64 m_diskLimit;
    std::mutex m_mutex;
    QCache<QString, QImage> m_memory;
    std::mutex m_diskMutex;
    qint64 m_diskBytes = -1;  // unknown until measured
};
