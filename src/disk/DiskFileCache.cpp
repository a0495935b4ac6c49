#include "disk/DiskFileCache.h"

#include "Public/SqliteDBManager.h"
#include "disk/DiskFile.h"
#include "platform/core/AppHome.h"

#include <QMutex>

DiskFileCache::DiskFileCache(const QString& path) : m_db(SqliteDBManager::initWithFilePath(path))
{
    if (m_db && !m_db->executeScript(QStringLiteral(
                    "CREATE TABLE IF NOT EXISTS upload_files(local_id TEXT PRIMARY KEY, file_id TEXT,"
                    " file_name TEXT NOT NULL, father_key TEXT, source TEXT, file_size INTEGER NOT NULL);")))
        m_db.reset();
}

DiskFileCache::~DiskFileCache() = default;

DiskFileCache& DiskFileCache::shared()
{
    static QMutex mutex;
    static QString openPath;
    static std::unique_ptr<DiskFileCache> cache;
    QMutexLocker lock(&mutex);
    // Follows the application home (tests give each case its own).
    const QString path = AppHome::current().caches() + "/diskfilecache.db";
    if (!cache || path != openPath) {
        cache = std::make_unique<DiskFileCache>(path);
        openPath = path;
    }
    return *cache;
}

bool DiskFileCache::record(const DiskFile& file)
{
    const QVariant father = file.fatherDir() ? QVariant(file.fatherDir()->dir_key()) : QVariant();
    return m_db
        && m_db->executeSql(QStringLiteral("INSERT OR REPLACE INTO upload_files(local_id, file_id, file_name,"
                                           " father_key, source, file_size) VALUES(?,?,?,?,?,?)"),
                            {file.local_id(), file.file_id(), file.file_name(), father, file.uploadSource(),
                             file.file_size()});
}

bool DiskFileCache::updateFileId(const DiskFile& file)
{
    return m_db
        && m_db->executeSql(QStringLiteral("UPDATE upload_files SET file_id = ? WHERE local_id = ?"),
                            {file.file_id(), file.local_id()});
}

bool DiskFileCache::remove(const DiskFile& file)
{
    return m_db && m_db->executeSql(QStringLiteral("DELETE FROM upload_files WHERE local_id = ?"), {file.local_id()});
}

bool DiskFileCache::contains(const QString& localId)
{
    QList<QVariantList> rows;
    return m_db
        && m_db->queryValues(&rows, QStringLiteral("SELECT 1 FROM upload_files WHERE local_id = ?"), {localId})
        && !rows.isEmpty();
}
