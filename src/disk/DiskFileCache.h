#pragma once

#include <QList>
#include <QString>

#include <memory>

class DiskFile;
class SqliteDBManager;

// The file-state cache "diskfilecache.db" under Library/Caches: the upload
// files made on this device whose upload has not finished (nor been given
// up), with their server id and account once registered and the run of the
// program that made them. Rows of an earlier run are uploads the end of
// that run cut off.
class DiskFileCache {
public:
    struct Entry {
        QString localId;
        QString fileId;      // empty until registered
        QString fileName;
        QString fatherKey;
        QString source;
        qint64 fileSize = 0;
        qint64 uin = 0;      // 0 until registered
    };

    // Opens (or creates) the cache at path; a cache that cannot be opened
    // keeps nothing.
    explicit DiskFileCache(const QString& path);
    ~DiskFileCache();

    // The cache of the current application home.
    static DiskFileCache& shared();
    // The token of this run of the program.
    static const QString& launchToken();

    bool record(const DiskFile& file);
    bool updateFileId(const DiskFile& file, qint64 uin);
    bool remove(const DiskFile& file);
    // Removes the row and the copy of the bytes the upload made in the
    // cache folder (a library photo or a file of the user's is never touched).
    bool discard(const DiskFile& file);
    bool contains(const QString& localId);
    // The rows recorded by earlier runs of the program.
    QList<Entry> fromEarlierLaunches();

private:
    std::unique_ptr<SqliteDBManager> m_db;
};
