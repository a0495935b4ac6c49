#include "disk/DiskIndex.h"

#include "Public/SqliteDBManager.h"

#include <QDateTime>
#include <QFile>

#include <sqlite3.h>

namespace {

bool isDamageCode(int code)
{
    return code == SQLITE_CORRUPT || code == SQLITE_NOTADB;
}

}

DiskIndex::State DiskIndex::check(SqliteDBManager& db, const Schema& schema)
{
    QList<QVariantList> rows;
    if (!db.queryValues(&rows, QStringLiteral("PRAGMA quick_check")))
        return isDamageCode(db.lastErrorCode()) ? State::Damaged : State::Failed;
    if (rows.isEmpty() || rows.first().value(0).toString() != QLatin1String("ok"))
        return State::Damaged;
    if (!schema(db))
        return isDamageCode(db.lastErrorCode()) ? State::Damaged : State::Failed;
    return State::Usable;
}

bool DiskIndex::moveAside(const QString& path)
{
    const QString aside = path + ".damaged-" + QDateTime::currentDateTimeUtc().toString("yyyyMMddHHmmsszzz");
    if (!QFile::rename(path, aside))
        return false;
    // A journal or log left beside it belongs to the damaged file.
    for (const char* suffix : {"-journal", "-wal"})
        if (QFile::exists(path + suffix))
            QFile::rename(path + suffix, aside + suffix);
    QFile::remove(path + "-shm");
    qWarning("disk store: the index %s is damaged; it was moved to %s and a fresh index started"
             " (the stored blobs stay where they are)",
             qPrintable(path), qPrintable(aside));
    return true;
}

bool DiskIndex::useWriteAheadLog(SqliteDBManager& db)
{
    // For the index, a lost commit is a recorded size that lags behind its
    // blob; a commit costs no sync of its own.
    QList<QVariantList> rows;
    return db.queryValues(&rows, QStringLiteral("PRAGMA journal_mode=WAL")) && !rows.isEmpty()
        && rows.first().value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0
        && db.executeSql(QStringLiteral("PRAGMA synchronous=NORMAL"));
}

std::unique_ptr<SqliteDBManager> DiskIndex::open(const QString& path, const Schema& schema)
{
    std::unique_ptr<SqliteDBManager> db = SqliteDBManager::initWithFilePath(path);
    if (!db) {
        qWarning("disk store: the index %s cannot be opened", qPrintable(path));
        return nullptr;
    }
    const State state = check(*db, schema);
    if (state == State::Usable) {
        if (!useWriteAheadLog(*db))
            qWarning("disk store: the index %s keeps its rollback journal (slower): %s", qPrintable(path),
                     qPrintable(db->lastError()));
        return db;
    }
    if (state == State::Failed) {
        qWarning("disk store: the index %s cannot be used: %s", qPrintable(path), qPrintable(db->lastError()));
        return nullptr;
    }
    db.reset();
    if (!moveAside(path)) {
        qWarning("disk store: the index %s is damaged and cannot be moved aside", qPrintable(path));
        return nullptr;
    }
    db = SqliteDBManager::initWithFilePath(path);
    if (!db || check(*db, schema) != State::Usable) {
        qWarning("disk store: no fresh index can be started at %s", qPrintable(path));
        return nullptr;
    }
    useWriteAheadLog(*db);
    return db;
}
