#pragma once

#include "albums/store/PavPhotoModel.h"

#include <QSet>
#include <QString>

#include <memory>

class SqliteDBManager;

// The SQL of the private album's index, table photoes. Every value goes in
// as a bound parameter. Operations are virtual so tests can make one fail.
// Rows read back whose id or file name is not in UUID form are skipped and
// logged: they never become models.
class DBOEncryptAlbumOp {
public:
    // Opens (or creates) the database and its table and indexes. A file that
    // is not a database (or is damaged) is moved aside and a fresh index
    // started (see SqliteIndexFile; an index whose table is not as this
    // class makes it is damaged too); a busy one is left alone. Rows carried
    // from an index that lacked localpath get their item's id there, as the
    // store writes every row. When no index
    // can be had the op still exists and every call fails.
    static std::unique_ptr<DBOEncryptAlbumOp> initWithFilePath(const QString& path);
    explicit DBOEncryptAlbumOp(std::unique_ptr<SqliteDBManager> engine);
    virtual ~DBOEncryptAlbumOp();
    DBOEncryptAlbumOp(const DBOEncryptAlbumOp&) = delete;
    DBOEncryptAlbumOp& operator=(const DBOEncryptAlbumOp&) = delete;

    // True when the row went in. An empty URL is stored as NULL.
    virtual bool insertRecord(const PavPhotoModel& model);
    // True when the statement ran, also when no row matched.
    virtual bool deleteRecord(const PavPhotoModel& model);
    // True when every row went in, in one transaction.
    virtual bool insertRecords(const PavPhotoModelList& models);
    // The rows with this URL; none for an empty URL or a failed query.
    virtual PavPhotoModelList recordsWithURL(const QString& url);
    // Whether a row has this URL (its files unchecked); false for an empty
    // URL or a failed query.
    virtual bool exitRecord(const QString& url);
    // Gives the rows of one URL another (an item's URL in a newer form).
    virtual bool replaceURL(const QString& from, const QString& to);
    // The rows without a URL (camera photos, rows rebuilt from item files).
    virtual PavPhotoModelList recordsWithoutURL();
    // Gives one row without a URL this URL; false when the statement failed
    // or the row has a URL (or is gone).
    virtual bool setURLOfRecordWithoutURL(const QString& uuid, const QString& url);
    // Newest first; empty when the query failed or found no row (the two
    // are one answer, as callers show both as an empty album).
    virtual PavPhotoModelList photoesWithType(int type);
    virtual PavPhotoModelList photoes();
    // Every photouuid in the table; false when the query failed.
    virtual bool photoUUIDs(QSet<QString>* uuids);

    // Moves every committed row from the write-ahead log into the index
    // file, so a copy of the file alone is whole. False when it could not.
    bool checkpoint();

    SqliteDBManager* dbEngine() const { return m_engine.get(); }

    static const char* const kCreateTableSql;
    static const char* const kCreateIndexSql[4];

private:
    PavPhotoModelList query(const QString& sql, const QVariantList& binds, int forcedType);
    bool insertLocked(const PavPhotoModel& model);

    std::unique_ptr<SqliteDBManager> m_engine;
};
