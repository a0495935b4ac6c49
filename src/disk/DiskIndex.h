#pragma once

#include <QString>

#include <functional>
#include <memory>

class SqliteDBManager;

// Opens the SQLite index of a disk store with a check first. An index that
// is damaged (not a database, a failed quick check, or a schema that cannot
// be set up because of damage) is moved aside as "<name>.damaged-<time>",
// with its journal, a fresh index is started in its place and the log says
// so; the blobs beside it are left alone. A busy or locked index (another
// process at work) is never taken for a damaged one. The index runs with a
// write-ahead log and syncs at its checkpoints only (where the file system
// allows a log; otherwise it keeps its rollback journal, synced as before).
class DiskIndex {
public:
    using Schema = std::function<bool(SqliteDBManager&)>;

    // Null when no usable index can be had (the log says why).
    static std::unique_ptr<SqliteDBManager> open(const QString& path, const Schema& schema);
    // Puts a database in write-ahead-log mode, synced at checkpoints only: a
    // commit lost with a power failure leaves an older, consistent database.
    // False (and the mode unchanged) where no log can be kept.
    static bool useWriteAheadLog(SqliteDBManager& db);

private:
    enum class State { Usable, Damaged, Failed };
    static State check(SqliteDBManager& db, const Schema& schema);
    static bool moveAside(const QString& path);
};
