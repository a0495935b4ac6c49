#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QVariant>

#include <functional>

// The columns of a database's tables as their schema declares them, read
// with PRAGMA table_info: what an index's schema is compared by, and what a
// row read from a damaged file's pages is matched against.
class SqliteTableShape {
public:
    struct Column {
        QString name;
        QString type;          // as declared ("INTEGER", "DOUBLE", "")
        bool notNull = false;
        bool hasDefault = false;
        int primaryKey = 0;    // position in the primary key, 0 when not part of it
    };

    QString name;
    QList<Column> columns;
    // The column that is the rowid (an INTEGER PRIMARY KEY), -1 when none:
    // a row's record holds NULL in its place.
    int rowidColumn = -1;

    // The shapes of every table but SQLite's own, by name; false when the
    // schema could not be read (nothing is then known).
    // A query of the database whose shapes are read: its rows with typed values.
    using Query = std::function<bool(const QString& sql, QList<QVariantList>* rows)>;
    static bool readAll(const Query& query, QMap<QString, SqliteTableShape>* out);

    // How `actual` departs from the program's `expected` tables: a column
    // missing, a column of another type, constraint or key, or an added
    // column no insert of the program could fill (NOT NULL without a
    // default). Empty when every table both have is as the program makes
    // it; missing and added tables, and added columns that may be left
    // empty, do not count.
    static QString departure(const QMap<QString, SqliteTableShape>& expected,
                             const QMap<QString, SqliteTableShape>& actual);

    // Whether one value read from a record fits column `index` as SQLite
    // would have stored it there (by the declared type's affinity).
    bool fits(int index, const QVariant& value) const;
    // Whether a record of these values is a row of this table: as many
    // values as columns (or fewer, when the rest may be left to their
    // defaults, as rows written before a column was added), each fitting.
    // exact is set when the count is the table's own.
    bool holds(const QVariantList& values, bool* exact) const;

private:
    enum class Affinity { Integer, Text, Blob, Real, Numeric };
    static Affinity affinityOf(const QString& declared);
    static SqliteTableShape fromRows(const QString& table, const QList<QVariantList>& rows);
};
