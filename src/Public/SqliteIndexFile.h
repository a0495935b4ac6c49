#pragma once

#include "Public/SqliteTableShape.h"

#include <QMap>
#include <QString>

#include <functional>
#include <memory>

class SqliteDBManager;

// Opens a store's SQLite index with a check first. An index that is damaged
// (not a database, a failed quick check, a schema that cannot be set up
// because of damage, or tables whose columns are not those the schema makes:
// see SqliteTableShape::departure) is moved aside as "<name>.damaged-<time>", with its
// journal or write-ahead log, a fresh index is started in its place with
// every row that can still be read from the damaged one (see SqliteSalvage),
// and the log says so in one line; the files the index describes are left
// alone. A busy or locked index (another process at work) is never taken
// for a damaged one. `owner` names the store in the log lines ("disk store").
// An index file that is empty (0 bytes) while holdsFiles() says the store
// holds files is a lost index: SQLite would take it for a new database, so it
// is moved aside and logged as a damaged one is.
class SqliteIndexFile {
public:
    using Schema = std::function<bool(SqliteDBManager&)>;
    using HoldsFiles = std::function<bool()>;

    struct Opened {
        std::unique_ptr<SqliteDBManager> db;   // null when no usable index can be had (the log says why)
        bool startedAfresh = false;            // a damaged index was moved aside
    };

    static Opened open(const QString& path, const Schema& schema, const char* owner,
                       const HoldsFiles& holdsFiles = {});
    // Puts a database in write-ahead-log mode, synced at checkpoints only: a
    // commit lost with a power failure leaves an older, consistent database.
    // False (and the mode unchanged) where the file system keeps no log.
    static bool useWriteAheadLog(SqliteDBManager& db);

private:
    enum class State { Usable, Damaged, Failed };
    // why: set to what is wrong with a schema that is not the program's.
    static State check(SqliteDBManager& db, const Schema& schema, QString* why);
    // The tables the schema makes, set up on an empty database in memory.
    static bool programShape(const Schema& schema, QMap<QString, SqliteTableShape>* out);
    static SqliteTableShape::Query queryOf(SqliteDBManager& db);
    // The views, triggers and indexes of db that the program's schema does
    // not make as it stands (a view in a table's place, a trigger that
    // refuses or rewrites every store, a unique index): empty when none.
    static QString strangeObjects(SqliteDBManager& db, const Schema& schema);
    // Whether the index file is empty while the store holds files.
    static bool isLost(const QString& path, const HoldsFiles& holdsFiles);
};
