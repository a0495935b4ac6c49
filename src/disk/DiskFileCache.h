#pragma once

#include <QString>

#include <memory>

class DiskFile;
class SqliteDBManager;

// The file-state cache "diskfilecache.db" under Library/Caches: the upload
// files made on this device that have not been deleted, with their server
// id once registered.
class DiskFileCache {
public:
    // Opens (or creates) the cache at path; a cache that cannot be opened
    // keeps nothing.
    explicit DiskFileCache(const QString& path);
    ~DiskFileCache();

    // The cache of the current application home.
    static DiskFileCache& shared();

    bool record(const DiskFile& file);
    bool updateFileId(const DiskFile& file);
    bool remove(const DiskFile& file);
    bool contains(const QString& localId);

private:
    std::unique_ptr<SqliteDBManager> m_db;
};
