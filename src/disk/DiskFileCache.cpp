#include "disk/DiskFileCache.h"

#include "Public/SqliteDBManager.h"
#include "disk/DiskFile.h"
#include "Public/SqliteIndexFile.h"
#include "disk/DiskUploadSource.h"
#include "platform/core/AppHome.h"
#include "platform/core/Uuid.h"

#include <QDir>
#include <QFile>
#include <QMutex>
#include <QUrl>

namespace {

bool addColumn(SqliteDBManager& db, const QString& column, const QString& type)
{
    return db.columnExistsInTable(column, QStringLiteral("upload_files"))
        || db.executeSql(QStringLiteral("ALTER TABLE upload_files ADD COLUMN %1 %2").arg(column, type));
}

}

DiskFileCache::DiskFileCache(const QString& path) : m_db(SqliteDBManager::initWithFilePath(path))
{
    // A row lost with a power failure is an upload that is not resumed.
    if (m_db)
        SqliteIndexFile::useWriteAheadLog(*m_db);
    if (m_db
        && !(m_db->executeScript(QStringLiteral(
                 "CREATE TABLE IF NOT EXISTS upload_files(local_id TEXT PRIMARY KEY, file_id TEXT,"
                 " file_name TEXT NOT NULL, father_key TEXT, source TEXT, file_size INTEGER NOT NULL);"))
             && addColumn(*m_db, QStringLiteral("uin"), QStringLiteral("INTEGER"))
             && addColumn(*m_db, QStringLiteral("launch"), QStringLiteral("TEXT"))))
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

const QString& DiskFileCache::launchToken()
{
    static const QString token = Uuid::create();
    return token;
}

bool DiskFileCache::record(const DiskFile& file)
{
    const QVariant father = file.fatherDir() ? QVariant(file.fatherDir()->dir_key()) : QVariant();
    return m_db
        && m_db->executeSql(QStringLiteral("INSERT OR REPLACE INTO upload_files(local_id, file_id, file_name,"
                                           " father_key, source, file_size, launch) VALUES(?,?,?,?,?,?,?)"),
                            {file.local_id(), file.file_id(), file.file_name(), father, file.uploadSource(),
                             file.file_size(), launchToken()});
}

bool DiskFileCache::updateFileId(const DiskFile& file, qint64 uin)
{
    return m_db
        && m_db->executeSql(QStringLiteral("UPDATE upload_files SET file_id = ?, uin = ? WHERE local_id = ?"),
                            {file.file_id(), uin, file.local_id()});
}

bool DiskFileCache::remove(const DiskFile& file)
{
    return m_db && m_db->executeSql(QStringLiteral("DELETE FROM upload_files WHERE local_id = ?"), {file.local_id()});
}

bool DiskFileCache::discard(const DiskFile& file)
{
    const QString source = file.uploadSource();
    if (source.startsWith(DiskUploadSource::kFileScheme)) {
        const QString path = QDir::cleanPath(QUrl(source).toLocalFile());
        if (path.startsWith(QDir::cleanPath(DiskFile::cacheFolder()) + "/"))
            QFile::remove(path);
    }
    return remove(file);
}

bool DiskFileCache::contains(const QString& localId)
{
    QList<QVariantList> rows;
    return m_db
        && m_db->queryValues(&rows, QStringLiteral("SELECT 1 FROM upload_files WHERE local_id = ?"), {localId})
        && !rows.isEmpty();
}

QList<DiskFileCache::Entry> DiskFileCache::fromEarlierLaunches()
{
    QList<QVariantList> rows;
    if (!m_db
        || !m_db->queryValues(&rows,
                              QStringLiteral("SELECT local_id, file_id, file_name, father_key, source, file_size, uin"
                                             " FROM upload_files WHERE launch IS NULL OR launch <> ? ORDER BY rowid"),
                              {launchToken()}))
        return {};
    QList<Entry> entries;
    for (const QVariantList& r : rows)
        entries.append({r[0].toString(), r[1].toString(), r[2].toString(), r[3].toString(), r[4].toString(),
                        r[5].toLongLong(), r[6].toLongLong()});
    return entries;
}
