#pragma once

#include <QCache>
#include <QImage>
#include <QString>

#include <mutex>

// Thumbnails kept in memory (least recently used dropped first) and as small
// JPEG files in a folder under Library/Caches, so a library opened again
// decodes none of the originals it has shown before. Safe from any thread.
class ThumbnailCache {
public:
    explicit ThumbnailCache(QString folder, int memoryItems = 800);

    // The key changes whenever the file is replaced or edited.
    static QString keyFor(const QString& path, qint64 size, qint64 mtimeMs, const QString& variant);

    QImage find(const QString& key);
    void store(const QString& key, const QImage& image);

private:
    QString fileFor(const QString& key) const;

    QString m_folder;
    std::mutex m_mutex;
    QCache<QString, QImage> m_memory;
};

