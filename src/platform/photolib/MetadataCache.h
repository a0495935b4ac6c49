#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>

#include <mutex>
#include <optional>

// What a scan learns about one file that is costly to learn again.
struct FileFacts {
    int kind = 0;            // photolib kind as an int
    qint64 dateMs = 0;       // UTC milliseconds since the epoch
    double duration = 0;     // seconds, videos only
    int orientation = 1;     // EXIF value, photos only
};

// Remembers FileFacts per file, keyed by path, size and modification time,
// in one file under Library/Caches. A changed file misses and is read again.
// Safe to use from several threads.
class MetadataCache {
public:
    explicit MetadataCache(QString file);

    std::optional<FileFacts> find(const QString& path, qint64 size, qint64 mtimeMs);
    void store(const QString& path, qint64 size, qint64 mtimeMs, const FileFacts& facts);
    // Forgets the files below scannedRoot not looked up since the last call,
    // then writes the cache when it changed.
    void save(const QString& scannedRoot);

private:
    struct Entry {
        qint64 size = 0;
        qint64 mtimeMs = 0;
        FileFacts facts;
        bool seen = false;
    };
    void loadLocked();

    QString m_file;
    std::mutex m_mutex;
    bool m_loaded = false;
    bool m_dirty = false;
    QHash<QString, Entry> m_entries;
};

