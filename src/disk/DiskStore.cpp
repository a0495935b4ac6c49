#include "disk/DiskStore.h"

#include "Public/SqliteDBManager.h"
#include "Public/SqliteIndexFile.h"
#include "disk/DiskAccounts.h"
#include "disk/DiskBlob.h"
#include "disk/DiskStoreUpload.h"
#include "platform/core/AppHome.h"
#include "platform/core/Clock.h"
#include "platform/core/RegularFile.h"
#include "platform/core/Uuid.h"
#include "platform/media/ImageCodec.h"

#include <QDir>
#include <QFile>
#include <QMutex>
#include <QSet>
#include <QStorageInfo>

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

QMutex g_sharedMutex;
QString g_defaultRoot;
std::shared_ptr<DiskStore> g_shared;

DiskStoreDir dirFromRow(const QVariantList& r)
{
    return {r[0].toString(), r[1].toString(), r[2].toString(), r[3].toLongLong()};
}

DiskStoreFile fileFromRow(const QVariantList& r)
{
    return {r[0].toString(), r[1].toString(), r[2].toString(), r[3].toLongLong(),
            r[4].toLongLong(), r[5].toString(), r[6].toString(), r[7].toLongLong(), r[8].toLongLong()};
}

const char* kDirColumns = "dir_key, father_key, name, ctime";
const char* kFileColumns = "file_id, dir_key, name, size, cur_size, sha1, md5, ctime, uin";

// Below this much room an I/O error of the index is taken for a full disk.
constexpr qint64 kLowSpace = 256 * 1024;

// The file ids of the blobs in the store's blobs folder.
QStringList blobIdsIn(const QString& root)
{
    QStringList ids = QDir(root + "/blobs").entryList(QDir::Files | QDir::NoSymLinks | QDir::Hidden);
    ids.removeIf([](const QString& name) { return !Uuid::isWellFormed(name); });
    return ids;
}

}

DiskStore::DiskStore(QString root, std::unique_ptr<SqliteDBManager> db, const Clock* clock, qint64 totalSpace)
    : m_root(std::move(root)), m_db(std::move(db)), m_clock(clock ? clock : &Clock::system()),
      m_totalSpace(totalSpace)
{
    m_accounts = std::make_unique<DiskAccounts>(*this);
}

DiskStore::~DiskStore() = default;

std::shared_ptr<DiskStore> DiskStore::open(const QString& root, const Clock* clock, qint64 totalSpace)
{
    if (root.isEmpty() || !QDir().mkpath(root + "/blobs"))
        return nullptr;
    SqliteIndexFile::Opened opened = SqliteIndexFile::open(root + "/index.db", &DiskStore::createSchema,
                                                           "disk store", [&root] { return !blobIdsIn(root).isEmpty(); });
    std::unique_ptr<SqliteDBManager> db = std::move(opened.db);
    if (!db)
        return nullptr;
    // For the index, a lost commit is a recorded size that lags behind its
    // blob: a commit costs no sync of its own.
    if (!SqliteIndexFile::useWriteAheadLog(*db))
        qWarning("disk store: the index %s keeps its rollback journal (slower): %s", qPrintable(root + "/index.db"),
                 qPrintable(db->lastError()));
    std::shared_ptr<DiskStore> store(new DiskStore(root, std::move(db), clock, totalSpace));
    if (opened.startedAfresh)
        store->remakeLostTopFolders();
    store->sweepOrphanRows();
    return store;
}

void DiskStore::remakeLostTopFolders()
{
    QList<QVariantList> rows;
    if (!m_db->queryValues(&rows, QStringLiteral("SELECT uin, root_key FROM accounts"
                                                 " WHERE root_key NOT IN (SELECT dir_key FROM folders)")))
        return;
    for (const QVariantList& row : rows) {
        const qint64 uin = row.value(0).toLongLong();
        const QString rootKey = row.value(1).toString();
        if (!Uuid::isWellFormed(rootKey))
            continue;
        const bool made = m_db->executeSql(
            QStringLiteral("INSERT INTO folders(dir_key, uin, father_key, name, ctime) VALUES(?,?,?,?,?)"),
            {rootKey, uin, QVariant(), QString(), nowMs()});
        qWarning("disk store: account %lld lost its top folder with the damaged index; %s", uin,
                 made ? "it was made again, so the folders and files still named below it are listed"
                      : "it could not be made again");
    }
}

void DiskStore::sweepOrphanRows()
{
    QList<QVariantList> rows;
    if (!m_db->queryValues(&rows, QStringLiteral("SELECT file_id FROM files WHERE cur_size < size")))
        return;
    for (const QVariantList& row : rows) {
        const QString id = row.value(0).toString();
        if (isIssuedId(id) && !QFile::exists(blobPath(id)))
            m_db->executeSql(QStringLiteral("DELETE FROM files WHERE file_id = ? AND cur_size < size"), {id});
    }
}

int DiskStore::unnamedBlobCount()
{
    QList<QVariantList> rows;
    if (!m_db->queryValues(&rows, QStringLiteral("SELECT file_id FROM files")))
        return 0;
    QSet<QString> named;
    for (const QVariantList& row : rows)
        named.insert(row.value(0).toString());
    const QStringList ids = blobIdsIn(m_root);
    return int(std::count_if(ids.begin(), ids.end(), [&named](const QString& id) { return !named.contains(id); }));
}

int DiskStore::indexFailure() const
{
    const int code = m_db->lastErrorCode();
    if (code == SQLITE_FULL || (code == SQLITE_IOERR && freeDiskSpace() < kLowSpace))
        return DiskStoreRet::kNoSpace;
    return DiskStoreRet::kIoError;
}

bool DiskStore::createSchema(SqliteDBManager& db)
{
    const bool made = db.executeScript(QStringLiteral(
        "CREATE TABLE IF NOT EXISTS accounts(uin INTEGER PRIMARY KEY, salt TEXT NOT NULL, digest TEXT NOT NULL,"
        " wrong_count INTEGER NOT NULL DEFAULT 0, verify_code TEXT, root_key TEXT NOT NULL,"
        " total_space INTEGER NOT NULL);"
        "CREATE TABLE IF NOT EXISTS sessions(skey TEXT PRIMARY KEY, uin INTEGER NOT NULL,"
        " created INTEGER NOT NULL DEFAULT 0);"
        "CREATE TABLE IF NOT EXISTS folders(dir_key TEXT PRIMARY KEY, uin INTEGER NOT NULL, father_key TEXT,"
        " name TEXT NOT NULL, ctime INTEGER NOT NULL);"
        "CREATE TABLE IF NOT EXISTS files(file_id TEXT PRIMARY KEY, uin INTEGER NOT NULL, dir_key TEXT NOT NULL,"
        " name TEXT NOT NULL, size INTEGER NOT NULL, cur_size INTEGER NOT NULL, sha1 TEXT, md5 TEXT,"
        " ctime INTEGER NOT NULL);"
        "CREATE INDEX IF NOT EXISTS folders_father ON folders(father_key);"
        "CREATE INDEX IF NOT EXISTS files_dir ON files(dir_key);"));
    // Sign-in keys of indexes made before they expired carry no start time:
    // they count as lapsed.
    return made
        && (db.columnExistsInTable(QStringLiteral("created"), QStringLiteral("sessions"))
            || db.executeSql(QStringLiteral("ALTER TABLE sessions ADD COLUMN created INTEGER NOT NULL DEFAULT 0")));
}

std::shared_ptr<DiskStore> DiskStore::shared()
{
    QMutexLocker lock(&g_sharedMutex);
    if (!g_shared) {
        const QString root = g_defaultRoot.isEmpty() ? AppHome::current().root() + "/CloudDisk" : g_defaultRoot;
        g_shared = open(root);
    }
    return g_shared;
}

QString DiskStore::defaultRoot()
{
    QMutexLocker lock(&g_sharedMutex);
    return g_defaultRoot.isEmpty() ? AppHome::current().root() + "/CloudDisk" : g_defaultRoot;
}

void DiskStore::setDefaultRoot(const QString& root)
{
    QMutexLocker lock(&g_sharedMutex);
    g_defaultRoot = root;
    g_shared.reset();
}

qint64 DiskStore::nowMs() const
{
    return m_clock->now().toMSecsSinceEpoch();
}

bool DiskStore::isIssuedId(const QString& fileId)
{
    if (Uuid::isWellFormed(fileId))
        return true;
    qWarning("disk store: the file row \"%s\" is damaged (not an id the store gives); it is left alone",
             qPrintable(fileId));
    return false;
}

QString DiskStore::blobPath(const QString& fileId) const
{
    return m_root + "/blobs/" + fileId;
}

bool DiskStore::createFolders(qint64 uin, const QString& rootKey)
{
    const qint64 now = nowMs();
    const QString sql = QStringLiteral("INSERT INTO folders(dir_key, uin, father_key, name, ctime) VALUES(?,?,?,?,?)");
    return m_db->executeSql(sql, {rootKey, uin, QVariant(), QString(), now})
        && m_db->executeSql(sql, {Uuid::create(), uin, rootKey, QString::fromUtf8(kDiskFolderName), now});
}

qint64 DiskStore::uinOfKey(const QString& skey)
{
    if (skey.isEmpty())
        return 0;
    QList<QVariantList> rows;
    if (!m_db->queryValues(&rows, QStringLiteral("SELECT uin FROM sessions WHERE skey = ? AND created > ?"),
                           {skey, nowMs() - kSessionLifetimeMs})
        || rows.isEmpty())
        return 0;
    return rows.first().value(0).toLongLong();
}

qint64 DiskStore::freeDiskSpace() const
{
    QStorageInfo storage(m_root);
    storage.refresh();
    return storage.isValid() ? std::max<qint64>(storage.bytesAvailable(), 0) : 0;
}

bool DiskStore::selectOne(const QString& sql, const QVariantList& binds,
                          const std::function<void(const QVariantList&)>& take)
{
    QList<QVariantList> rows;
    if (!m_db->queryValues(&rows, sql, binds) || rows.isEmpty())
        return false;
    if (take)
        take(rows.first());
    return true;
}

bool DiskStore::dirOf(qint64 uin, const QString& dirKey, DiskStoreDir* out)
{
    return selectOne(QStringLiteral("SELECT %1 FROM folders WHERE dir_key = ? AND uin = ?").arg(kDirColumns),
                     {dirKey, uin}, [out](const QVariantList& row) {
                         if (out)
                             *out = dirFromRow(row);
                     });
}

bool DiskStore::fileOf(qint64 uin, const QString& fileId, DiskStoreFile* out)
{
    DiskStoreFile file;
    if (!selectOne(QStringLiteral("SELECT %1 FROM files WHERE file_id = ? AND uin = ?").arg(kFileColumns),
                   {fileId, uin}, [&file](const QVariantList& row) { file = fileFromRow(row); })
        || !isIssuedId(file.fileId))
        return false;
    if (out)
        *out = file;
    return true;
}

int DiskStore::queryAccount(const QString& skey, DiskStoreAccount* out)
{
    const qint64 uin = uinOfKey(skey);
    if (!uin)
        return DiskStoreRet::kNeedLogin;
    QList<QVariantList> rows;
    qint64 used = 0;
    if (!m_db->queryValues(&rows, QStringLiteral("SELECT root_key, total_space FROM accounts WHERE uin = ?"), {uin})
        || rows.isEmpty() || !usedSpaceOf(uin, &used))
        return DiskStoreRet::kIoError;
    out->uin = uin;
    out->rootKey = rows.first()[0].toString();
    out->usedSpace = used;
    // What can still be stored is bounded by the disk under the store too.
    const qint64 quota = std::max<qint64>(rows.first()[1].toLongLong(), 0);
    out->totalSpace = std::min(quota, addClamped(used, freeDiskSpace()));
    return DiskStoreRet::kOk;
}

qint64 DiskStore::addClamped(qint64 a, qint64 b)
{
    qint64 sum;
    return __builtin_add_overflow(a, b, &sum) ? std::numeric_limits<qint64>::max() : sum;
}

bool DiskStore::usedSpaceOf(qint64 uin, qint64* used)
{
    static const QString kStoredSize =
        QStringLiteral("typeof(cur_size) = 'integer' AND cur_size BETWEEN 0 AND %1").arg(kMaxFileSize);
    QList<QVariantList> rows;
    if (!m_db->queryValues(&rows,
                           QStringLiteral("SELECT file_id, cur_size FROM files WHERE uin = ? AND NOT (%1)")
                               .arg(kStoredSize),
                           {uin}))
        return false;
    for (const QVariantList& row : rows)
        logOutOfRangeSize(row.value(0).toString(), row.value(1).toString());
    // Each size is bounded, so only a great many rows could reach past a
    // 64-bit sum: their total (a floating-point sum) is looked at first.
    if (!m_db->queryValues(&rows, QStringLiteral("SELECT TOTAL(cur_size) FROM files WHERE uin = ? AND %1").arg(kStoredSize),
                           {uin})
        || rows.isEmpty())
        return false;
    if (rows.first().value(0).toDouble() >= 0x1p62) {
        *used = std::numeric_limits<qint64>::max();
        return true;
    }
    if (!m_db->queryValues(&rows,
                           QStringLiteral("SELECT COALESCE(SUM(cur_size), 0) FROM files WHERE uin = ? AND %1")
                               .arg(kStoredSize),
                           {uin})
        || rows.isEmpty())
        return false;
    *used = rows.first().value(0).toLongLong();
    return true;
}

void DiskStore::logOutOfRangeSize(const QString& fileId, const QString& size)
{
    std::lock_guard lock(m_loggedSizesMutex);
    if (m_loggedSizes.contains(fileId))
        return;
    m_loggedSizes.insert(fileId);
    qWarning("disk store: the file row \"%s\" is damaged (stored size %s is not one the store writes); its size"
             " is left out of the account's used space",
             qPrintable(fileId), qPrintable(size));
}

int DiskStore::listDir(const QString& skey, const QString& dirKey, QList<DiskStoreDir>* dirs,
                       QList<DiskStoreFile>* files)
{
    const qint64 uin = uinOfKey(skey);
    if (!uin)
        return DiskStoreRet::kNeedLogin;
    if (!dirOf(uin, dirKey, nullptr))
        return DiskStoreRet::kNotFound;
    QList<QVariantList> dirRows;
    QList<QVariantList> fileRows;
    const QString dirSql = QStringLiteral("SELECT %1 FROM folders WHERE father_key = ? AND uin = ?"
                                          " ORDER BY ctime DESC, rowid DESC").arg(kDirColumns);
    const QString fileSql = QStringLiteral("SELECT %1 FROM files WHERE dir_key = ? AND uin = ?"
                                           " ORDER BY ctime DESC, rowid DESC").arg(kFileColumns);
    if (!m_db->queryValues(&dirRows, dirSql, {dirKey, uin}) || !m_db->queryValues(&fileRows, fileSql, {dirKey, uin}))
        return DiskStoreRet::kIoError;
    dirs->clear();
    files->clear();
    for (const QVariantList& r : dirRows)
        dirs->append(dirFromRow(r));
    for (const QVariantList& r : fileRows)
        if (isIssuedId(r.value(0).toString()))
            files->append(fileFromRow(r));
    return DiskStoreRet::kOk;
}

int DiskStore::makeDir(const QString& skey, const QString& fatherKey, const QString& name, DiskStoreDir* out)
{
    const qint64 uin = uinOfKey(skey);
    if (!uin)
        return DiskStoreRet::kNeedLogin;
    if (name.trimmed().isEmpty() || name.contains('/'))
        return DiskStoreRet::kBadRequest;
    if (!dirOf(uin, fatherKey, nullptr))
        return DiskStoreRet::kNotFound;
    DiskStoreDir dir{Uuid::create(), fatherKey, name, nowMs()};
    if (!m_db->executeSql(QStringLiteral("INSERT INTO folders(dir_key, uin, father_key, name, ctime) VALUES(?,?,?,?,?)"),
                          {dir.key, uin, dir.fatherKey, dir.name, dir.ctime}))
        return DiskStoreRet::kIoError;
    *out = dir;
    return DiskStoreRet::kOk;
}

int DiskStore::registerFile(const QString& skey, const QString& dirKey, const QString& name, qint64 size,
                            const QString& sha1, const QString& md5, DiskStoreFile* out)
{
    const qint64 uin = uinOfKey(skey);
    if (!uin)
        return DiskStoreRet::kNeedLogin;
    if (name.isEmpty() || size < 0 || size > kMaxFileSize)
        return DiskStoreRet::kBadRequest;
    std::lock_guard lock(m_writeMutex);
    if (!dirOf(uin, dirKey, nullptr))
        return DiskStoreRet::kNotFound;
    DiskStoreAccount account;
    if (queryAccount(skey, &account) != DiskStoreRet::kOk)
        return DiskStoreRet::kIoError;
    if (size > account.totalSpace - account.usedSpace)
        return DiskStoreRet::kNoSpace;
    DiskStoreFile file{Uuid::create(), dirKey, name, size, 0, sha1.toLower(), md5, nowMs(), uin};
    // The blob first: a partial row without its blob is taken for a leftover.
    if (!DiskBlob::create(blobPath(file.fileId)))
        return DiskBlob::failureOf(errno);
    if (!m_db->executeSql(QStringLiteral("INSERT INTO files(file_id, uin, dir_key, name, size, cur_size, sha1, md5,"
                                         " ctime) VALUES(?,?,?,?,?,?,?,?,?)"),
                          {file.fileId, uin, dirKey, name, size, 0, file.sha1, md5, file.ctime})) {
        const int failure = indexFailure();
        QFile::remove(blobPath(file.fileId));
        return failure;
    }
    *out = file;
    return DiskStoreRet::kOk;
}

int DiskStore::fileInfo(const QString& skey, const QString& fileId, DiskStoreFile* out)
{
    const qint64 uin = uinOfKey(skey);
    if (!uin)
        return DiskStoreRet::kNeedLogin;
    return fileOf(uin, fileId, out) ? DiskStoreRet::kOk : DiskStoreRet::kNotFound;
}

int DiskStore::openUpload(const QString& skey, const QString& fileId, std::unique_ptr<DiskStoreUpload>* out,
                          const std::function<bool(qint64 read)>& goOn)
{
    DiskStoreFile file;
    if (const int ret = fileInfo(skey, fileId, &file); ret != DiskStoreRet::kOk)
        return ret;
    const int fd = DiskBlob::openForWriting(blobPath(fileId));
    if (fd < 0)
        return DiskBlob::failureOf(errno);
    // One writer per blob: a second one would cut off what the first has
    // not recorded yet, and the first would go on past the cut. (A file
    // system that keeps no such locks lets every writer through, as before.)
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        ::close(fd);
        return DiskStoreRet::kBusy;
    }
    std::unique_ptr<DiskStoreUpload> upload(new DiskStoreUpload(*this, file, fd));
    if (const int ret = upload->start(goOn); ret != DiskStoreRet::kOk)
        return ret;
    *out = std::move(upload);
    return DiskStoreRet::kOk;
}

int DiskStore::appendChunk(const QString& skey, const QString& fileId, qint64 offset, const QByteArray& bytes,
                           qint64* newSize)
{
    std::unique_ptr<DiskStoreUpload> upload;
    if (const int ret = openUpload(skey, fileId, &upload); ret != DiskStoreRet::kOk)
        return ret;
    if (upload->wasShort()) {
        *newSize = upload->size();
        return DiskStoreRet::kShortBlob;
    }
    if (offset != upload->size())
        return DiskStoreRet::kBadRequest;
    int ret = upload->append(bytes);
    if (ret == DiskStoreRet::kOk)
        ret = upload->flush();
    if (ret == DiskStoreRet::kOk)
        *newSize = upload->size();
    return ret;
}

int DiskStore::recordSize(const QString& fileId, qint64 from, qint64 to, const QString& sha1)
{
    // Only from the size this writer read: another process may share the index.
    int changed = 0;
    const bool ok = sha1.isEmpty()
        ? m_db->executeSqlWithAffectedRowNumber(
              QStringLiteral("UPDATE files SET cur_size = ? WHERE file_id = ? AND cur_size = ?"), {to, fileId, from},
              &changed)
        : m_db->executeSqlWithAffectedRowNumber(
              QStringLiteral("UPDATE files SET cur_size = ?, sha1 = ? WHERE file_id = ? AND cur_size = ?"),
              {to, sha1, fileId, from}, &changed);
    if (!ok)
        return indexFailure();
    if (changed != 1)
        return DiskStoreRet::kNotFound;
    // A file answered as complete must stay complete through a power cut
    // (the user may delete the original): its commit is made durable.
    return sha1.isEmpty() || keepCommitted() ? DiskStoreRet::kOk : DiskStoreRet::kIoError;
}

bool DiskStore::keepCommitted()
{
    // Copies the log into the index and syncs both; where another process's
    // reader holds part of it back, the log itself is synced.
    QList<QVariantList> rows;
    if (m_db->queryValues(&rows, QStringLiteral("PRAGMA wal_checkpoint(PASSIVE)")) && !rows.isEmpty()
        && rows.first().value(0).toInt() == 0 && rows.first().value(1).toLongLong() == rows.first().value(2).toLongLong())
        return true;
    const int fd = RegularFile::open(m_root + "/index.db-wal");
    if (fd < 0)
        return errno == ENOENT;
    const bool synced = ::fdatasync(fd) == 0;
    ::close(fd);
    return synced;
}

int DiskStore::openBlob(const QString& skey, const QString& fileId, DiskStoreFile* row, std::unique_ptr<QFile>* blob)
{
    if (const int ret = fileInfo(skey, fileId, row); ret != DiskStoreRet::kOk)
        return ret;
    std::unique_ptr<QFile> file = DiskBlob::openForReading(blobPath(fileId), QIODevice::Unbuffered);
    if (!file)
        return DiskStoreRet::kIoError;
    *blob = std::move(file);
    return DiskStoreRet::kOk;
}

int DiskStore::readChunk(const QString& skey, const QString& fileId, qint64 offset, qint64 maxLength,
                         QByteArray* out)
{
    DiskStoreFile file;
    std::unique_ptr<QFile> blob;
    if (const int ret = openBlob(skey, fileId, &file, &blob); ret != DiskStoreRet::kOk)
        return ret;
    if (offset < 0 || offset > file.curSize || maxLength < 0)
        return DiskStoreRet::kBadRequest;
    if (!blob->seek(offset))
        return DiskStoreRet::kIoError;
    const qint64 want = std::min(maxLength, file.curSize - offset);
    *out = blob->read(want);
    return out->size() == want ? DiskStoreRet::kOk : DiskStoreRet::kIoError;
}

int DiskStore::deleteFile(const QString& skey, const QString& fileId)
{
    const qint64 uin = uinOfKey(skey);
    if (!uin)
        return DiskStoreRet::kNeedLogin;
    std::lock_guard lock(m_writeMutex);
    if (!fileOf(uin, fileId, nullptr))
        return DiskStoreRet::kNotFound;
    if (!m_db->executeSql(QStringLiteral("DELETE FROM files WHERE file_id = ? AND uin = ?"), {fileId, uin}))
        return indexFailure();
    QFile::remove(blobPath(fileId));
    return DiskStoreRet::kOk;
}

int DiskStore::deleteUnfinished(const QString& skey, const QString& fileId, bool* complete)
{
    *complete = false;
    const qint64 uin = uinOfKey(skey);
    if (!uin)
        return DiskStoreRet::kNeedLogin;
    std::lock_guard lock(m_writeMutex);
    DiskStoreFile file;
    if (!fileOf(uin, fileId, &file))
        return DiskStoreRet::kNotFound;
    if (file.curSize == file.size) {
        *complete = true;
        return DiskStoreRet::kOk;
    }
    const QString sql = QStringLiteral("DELETE FROM files WHERE file_id = ? AND uin = ? AND cur_size < size");
    int removed = 0;
    if (m_db->executeSqlWithAffectedRowNumber(sql, {fileId, uin}, &removed)) {
        // No row removed: it was completed meanwhile.
        *complete = removed == 0;
        if (removed)
            QFile::remove(blobPath(fileId));
        return DiskStoreRet::kOk;
    }
    // A disk too full for the index's write: the blob goes first, freeing
    // room; a partial row left without its blob goes at the next open.
    QFile::remove(blobPath(fileId));
    m_db->executeSql(sql, {fileId, uin});
    return DiskStoreRet::kOk;
}

int DiskStore::thumbnail(const QString& skey, const QString& fileId, int side, QByteArray* out)
{
    const qint64 uin = uinOfKey(skey);
    if (!uin)
        return DiskStoreRet::kNeedLogin;
    DiskStoreFile file;
    if (!fileOf(uin, fileId, &file))
        return DiskStoreRet::kNotFound;
    if (file.curSize != file.size)
        return DiskStoreRet::kNotImage;
    const std::unique_ptr<QFile> blob = DiskBlob::openForReading(blobPath(fileId));
    const QImage scaled = blob ? ImageCodec::decodeScaled(blob.get(), QSize(side, side)) : QImage();
    if (scaled.isNull())
        return DiskStoreRet::kNotImage;
    *out = ImageCodec::encodeJpeg(ImageCodec::thumbnailWithSize(scaled, QSize(side, side)), 90);
    return out->isEmpty() ? DiskStoreRet::kIoError : DiskStoreRet::kOk;
}
