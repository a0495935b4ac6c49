#pragma once

#include "albums/store/PavPhotoModel.h"

#include <QSet>
#include <QString>

#include <memory>

class SqliteDBManager;

// The SQL of the private album's index, table photoes. Every value goes in
// as a bound parameter. Operations are virtual so tests can make one fail.
class DBOEncryptAlbumOp {
public:
    // Opens (or creates) the database and its table and indexes. When the
    // database cannot be opened the op still exists and every call fails.
    static std::unique_ptr<DBOEncryptAlbumOp> initWithFilePath(const QString& path);
    explicit DBOEncryptAlbumOp(std::unique_ptr<SqliteDBManager> engine);
    virtual ~DBOEncryptAlbumOp();
    DBOEncryptAlbumOp(const DBOEncryptAlbumOp&) = delete;
    DBOEncryptAlbumOp& operator=(const DBOEncryptAlbumOp&) = delete;

    // True when the row went in. An empty URL is stored as NULL.
    virtual bool insertRecord(const PavPhotoModel& model);
    // True when the statement ran, also when no row matched.
    virtual bool deleteRecord(const PavPhotoModel& model);
    // True when some row has this URL; never for an empty URL.
    virtual bool exitRecord(const QString& url);
    // Newest first; empty when the query failed or found no row (the two
    // are one answer, as callers show both as an empty album).
    virtual PavPhotoModelList photoesWithType(int type);
    virtual PavPhotoModelList photoes();
    // Every photouuid in the table; false when the query failed.
    virtual bool photoUUIDs(QSet<QString>* uuids);

    SqliteDBManager* dbEngine() const { return m_engine.get(); }

    static const char* const kCreateTableSql;
    static const char* const kCreateIndexSql[4];

private:
    PavPhotoModelList query(const QString& sql, const QVariantList& binds, int forcedType);

    std::unique_ptr<SqliteDBManager> m_engine;
};
