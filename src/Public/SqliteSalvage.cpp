#include "Public/SqliteSalvage.h"

#include "Public/SqliteDBManager.h"
#include "Public/SqliteLeafSalvage.h"

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

    // The file's tables with their roots, as far as its schema can be read.
    QMap<QString, SqliteLeafSalvage::Table> tables() const
    {
        QMap<QString, SqliteLeafSalvage::Table> tables;
        QMap<QString, SqliteTableShape> shapes;
        QList<QVariantList> roots;
        const auto query = [this](const QString& sql, QList<QVariantList>* rows) { return queryValues(sql, rows); };
        if (!SqliteTableShape::readAll(query, &shapes)
            || !query(QStringLiteral("SELECT name, rootpage FROM sqlite_master WHERE type = 'table'"), &roots))
            return tables;
        for (const QVariantList& root : roots) {
            const QString name = root.value(0).toString();
            if (shapes.contains(name))
                tables.insert(name, {shapes.value(name), quint32(std::clamp<qint64>(root.value(1).toLongLong(), 0,
                                                                                   0xffffffffLL))});
        }
        return tables;
    }

    bool queryValues(const QString& sql, QList<QVariantList>* rows) const
    {
        sqlite3_stmt* stmt = m_db ? prepare(sql) : nullptr;
        if (!stmt)
            return false;
        rows->clear();
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            QVariantList row;
            for (int c = 0; c < sqlite3_column_count(stmt); ++c)
                row.append(SqliteDBManager::columnValue(stmt, c));
            rows->append(row);
        }
        sqlite3_finalize(stmt);
        return rc == SQLITE_DONE;
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

// The columns of the fresh table the old one has too, quoted; all of the
// fresh table's when the old one is not known.
QStringList sharedColumns(const SqliteTableShape& old, const SqliteTableShape& fresh)
{
    QStringList shared;
    for (const SqliteTableShape::Column& column : fresh.columns)
        if (old.columns.isEmpty()
            || std::any_of(old.columns.begin(), old.columns.end(), [&](const SqliteTableShape::Column& c) {
                   return c.name.compare(column.name, Qt::CaseInsensitive) == 0;
               }))
            shared << quoted(column.name);
    return shared;
}

// Inserts one row read from a page under its rowid: the values of the old
// table's columns the fresh one has (the rowid column takes the rowid); a
// row whose rowid or key is taken already is left out. 1 when it went in.
int carryRow(SqliteDBManager& fresh, const SqliteTableShape& old, const SqliteTableShape& table,
             const SqliteFilePages::Cell& row)
{
    QStringList columns{QStringLiteral("rowid")};
    QStringList marks{QStringLiteral("?")};
    QVariantList values{row.rowid};
    for (int i = 0; i < row.values.size(); ++i) {
        const QString& name = old.columns[i].name;
        if (!std::any_of(table.columns.begin(), table.columns.end(), [&](const SqliteTableShape::Column& c) {
                return c.name.compare(name, Qt::CaseInsensitive) == 0;
            }))
            continue;
        columns << quoted(name);
        marks << QStringLiteral("?");
        values << (i == old.rowidColumn ? QVariant(row.rowid) : row.values[i]);
    }
    int added = 0;
    const QString insert = QStringLiteral("INSERT OR IGNORE INTO %1(%2) VALUES(%3)")
                               .arg(quoted(table.name), columns.join(", "), marks.join(", "));
    return fresh.executeSqlWithAffectedRowNumber(insert, values, &added) ? added : 0;
}

}

SqliteSalvage::Result SqliteSalvage::carry(const QString& damagedPath, SqliteDBManager& fresh)
{
    QMap<QString, SqliteTableShape> freshTables;
    if (!SqliteTableShape::readAll([&fresh](const QString& sql, QList<QVariantList>* rows) {
            return fresh.queryValues(rows, sql);
        }, &freshTables))
        return {0, 1};
    Result total;
    Result trees;
    QMap<QString, SqliteLeafSalvage::Table> oldTables;
    {
        DamagedFile file(damagedPath);
        if (file.isOpen())
            oldTables = file.tables();
        const bool committed = fresh.transaction([&] {
            for (const SqliteTableShape& table : freshTables) {
                const QStringList shared = sharedColumns(oldTables.value(table.name).shape, table);
                const Result result =
                    shared.isEmpty() || !file.isOpen() ? Result{0, 1} : carryTable(file, fresh, table.name, shared);
                trees.rows += result.rows;
                trees.lostStretches += result.lostStretches;
            }
            return true;
        });
        if (!committed)
            trees = Result{0, 1};
    }
    // The rows on pages no readable tree leads to: when the file's schema
    // is lost, its tables are taken to be those the program makes.
    if (oldTables.isEmpty())
        for (const SqliteTableShape& table : freshTables)
            oldTables.insert(table.name, {table, 0});
    // A file whose header is lost is read at the page size of the fresh
    // one: the program makes both alike.
    QList<QVariantList> pageSize;
    fresh.queryValues(&pageSize, QStringLiteral("PRAGMA page_size"));
    SqliteLeafSalvage leaves(damagedPath, oldTables, pageSize.value(0).value(0).toInt());
    if (!leaves.isReadable())
        return trees;
    int fromPages = 0;
    int lost = 0;
    const bool committed = fresh.transaction([&] {
        lost = leaves.run([&](const SqliteTableShape& table, const SqliteFilePages::Cell& row) {
            const auto freshTable = freshTables.constFind(table.name);
            if (freshTable != freshTables.constEnd())
                fromPages += carryRow(fresh, table, *freshTable, row);
        });
        return true;
    });
    total.rows = trees.rows + (committed ? fromPages : 0);
    total.lostStretches = committed ? lost : trees.lostStretches;
    return total;
}
