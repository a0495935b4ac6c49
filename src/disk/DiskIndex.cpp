#include "disk/DiskIndex.h"

#include "Public/SqliteDBManager.h"
#include "platform/core/DamagedDatabase.h"

DiskIndex::State DiskIndex::check(SqliteDBManager& db, const Schema& schema)
{
    QList<QVariantList> rows;
    if (!db.queryValues(&rows, QStringLiteral("PRAGMA quick_check")))
        return DamagedDatabase::isDamageCode(db.lastErrorCode()) ? State::Damaged : State::Failed;
    if (rows.isEmpty() || rows.first().value(0).toString() != QLatin1String("ok"))
        return State::Damaged;
    if (!schema(db))
        return DamagedDatabase::isDamageCode(db.lastErrorCode()) ? State::Damaged : State::Failed;
    return State::Usable;
}

bool DiskIndex::moveAside(const QString& path)
{
    const QString aside = DamagedDatabase::moveAside(path);
    if (aside.isEmpty())
        return false;
    qWarning("disk store: the index %s is damaged; it was moved to %s and a fresh index started"
             " (the stored blobs stay where they are)",
             qPrintable(path), qPrintable(aside));
    return true;
}

std::unique_ptr<SqliteDBManager> DiskIndex::open(const QString& path, const Schema& schema)
{
    std::unique_ptr<SqliteDBManager> db = SqliteDBManager::initWithFilePath(path);
    if (!db) {
        qWarning("disk store: the index %s cannot be opened", qPrintable(path));
        return nullptr;
    }
    const State state = check(*db, schema);
    if (state == State::Usable)
        return db;
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
    return db;
}
