#include "Public/SqliteSalvage.h"

#include "Public/SqliteDBManager.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <sqlite3.h>

#include <algorithm>
#include <limits>
#include <optional>

namespace {

constexpr qint64 kMinRowid = std::numeric_limits<qint64>::min();
constexpr qint64 kMaxRowid = std::numeric_limits<qint64>::max();

QString quoted(const QString& name)
{
    return '"' + QString(name).replace('"', "\"\"") + '"';
}

// One read-only connection to the damaged file. A reader of a file in
// write-ahead-log mode makes an empty log and a shared-memory file beside
// it: those are removed again, the file's own are left as they are.
class DamagedFile {
public:
    explicit DamagedFile(const QString& path)
        : m_path(path), m_hadLog(QFile::exists(path + "-wal")), m_hadShm(QFile::exists(path + "-shm"))
    {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
            sqlite3_close(m_db);
            m_db = nullptr;
        }
    }
    ~DamagedFile()
    {
        sqlite3_close(m_db);
        if (!m_hadLog && QFileInfo(m_path + "-wal").size() == 0)
            QFile::remove(m_path + "-wal");
        if (!m_hadShm)
            QFile::remove(m_path + "-shm");
    }
    DamagedFile(const DamagedFile&) = delete;
    DamagedFile& operator=(const DamagedFile&) = delete;

    bool isOpen() const { return m_db != nullptr; }

    QStringList columnsOf(const QString& table) const
    {
        QStringList names;
        sqlite3_stmt* stmt = prepare("PRAGMA table_info(" + quoted(table) + ")");
        if (!stmt)
            return names;
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
            names << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1)));
        sqlite3_finalize(stmt);
        return rc == SQLITE_DONE ? names : QStringList();
    }

    sqlite3_stmt* prepare(const QString& sql) const
    {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &stmt, nullptr) != SQLITE_OK) {
            sqlite3_finalize(stmt);
            return nullptr;
        }
        return stmt;
    }

private:
    QString m_path;
    bool m_hadLog;
    bool m_hadShm;
    sqlite3* m_db = nullptr;
};

// The rows of one table, read in rowid order from a given rowid on.
class TableReader {
public:
    TableReader(const DamagedFile& file, const QString& table, const QStringList& columns)
        : m_stmt(file.prepare(QStringLiteral("SELECT rowid, %1 FROM %2 WHERE rowid >= ? ORDER BY rowid")
                                  .arg(columns.join(", "), quoted(table))))
    {
    }
    ~TableReader() { sqlite3_finalize(m_stmt); }
    TableReader(const TableReader&) = delete;
    TableReader& operator=(const TableReader&) = delete;

    bool isReady() const { return m_stmt != nullptr; }

    void startAt(qint64 rowid)
    {
        sqlite3_reset(m_stmt);
        sqlite3_bind_int64(m_stmt, 1, rowid);
    }

    enum class Step { Row, End, Failed };
    Step next(qint64* rowid, QVariantList* values)
    {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_DONE)
            return Step::End;
        if (rc != SQLITE_ROW)
            return Step::Failed;
        *rowid = sqlite3_column_int64(m_stmt, 0);
        values->clear();
        values->append(*rowid);
        for (int c = 1; c < sqlite3_column_count(m_stmt); ++c)
            values->append(SqliteDBManager::columnValue(m_stmt, c));
        return Step::Row;
    }

    // Whether reading from this rowid on gets past its first step.
    bool readsFrom(qint64 rowid)
    {
        startAt(rowid);
        qint64 ignored;
        QVariantList values;
        return next(&ignored, &values) != Step::Failed;
    }

    // The first rowid after `failed` from which reading works again, found by
    // doubling steps and then halving the last one; none when no such rowid.
    // Stored rowids are positive: the steps start at 0 at the lowest, or
    // doubling from the smallest rowid would leap over every stored one.
    std::optional<qint64> resumeAfter(qint64 failed)
    {
        qint64 bad = std::max<qint64>(failed, -1);
        qint64 step = 1;
        qint64 good;
        for (;;) {
            if (bad > kMaxRowid - step)
                return readsFrom(kMaxRowid) && bad < kMaxRowid ? std::optional<qint64>(kMaxRowid) : std::nullopt;
            good = bad + step;
            if (readsFrom(good))
                break;
            bad = good;
            step = step > kMaxRowid / 2 ? kMaxRowid : step * 2;
        }
        while (good - bad > 1) {
            const qint64 mid = bad + (good - bad) / 2;
            (readsFrom(mid) ? good : bad) = mid;
        }
        return good;
    }

private:
    sqlite3_stmt* m_stmt;
};

SqliteSalvage::Result carryTable(const DamagedFile& file, SqliteDBManager& fresh, const QString& table,
                                 const QStringList& columns)
{
    SqliteSalvage::Result result;
    TableReader reader(file, table, columns);
    if (!reader.isReady()) {
        result.lostStretches = 1;
        return result;
    }
    QStringList marks;
    for (int i = 0; i <= columns.size(); ++i)
        marks << QStringLiteral("?");
    const QString insert = QStringLiteral("INSERT OR IGNORE INTO %1(rowid, %2) VALUES(%3)")
                               .arg(quoted(table), columns.join(", "), marks.join(", "));
    qint64 from = kMinRowid;
    for (;;) {
        reader.startAt(from);
        qint64 rowid = 0;
        qint64 last = from;
        bool any = false;
        QVariantList values;
        TableReader::Step step;
        // A damaged page may also send the reading backwards: that ends the stretch too.
        while ((step = reader.next(&rowid, &values)) == TableReader::Step::Row && (!any || rowid > last)) {
            int added = 0;
            if (fresh.executeSqlWithAffectedRowNumber(insert, values, &added))
                result.rows += added;
            last = rowid;
            any = true;
        }
        if (step == TableReader::Step::End)
            return result;
        ++result.lostStretches;
        const std::optional<qint64> resume = reader.resumeAfter(any ? last : from);
        if (!resume)
            return result;
        from = *resume;
    }
}

}

SqliteSalvage::Result SqliteSalvage::carry(const QString& damagedPath, SqliteDBManager& fresh)
{
    Result total;
    DamagedFile file(damagedPath);
    QList<QVariantList> tables;
    if (!file.isOpen()
        || !fresh.queryValues(&tables, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"
                                                      " AND name NOT LIKE 'sqlite_%' ORDER BY name")))
        return {0, 1};
    const bool committed = fresh.transaction([&] {
        for (const QVariantList& row : tables) {
            const QString table = row.value(0).toString();
            QList<SqliteDBManager::Row> freshColumns;
            fresh.queryResult(&freshColumns, "PRAGMA table_info(" + quoted(table) + ")");
            const QStringList oldColumns = file.columnsOf(table);
            QStringList shared;
            for (const SqliteDBManager::Row& column : freshColumns)
                if (oldColumns.contains(column.value("name"), Qt::CaseInsensitive))
                    shared << quoted(column.value("name"));
            const Result result = shared.isEmpty() ? Result{0, 1} : carryTable(file, fresh, table, shared);
            total.rows += result.rows;
            total.lostStretches += result.lostStretches;
        }
        return true;
    });
    return committed ? total : Result{0, 1};
}
