#include "Public/SqliteTableShape.h"

#include <QStringList>

namespace {
QString quoted(const QString& name)
{
    return '"' + QString(name).replace('"', "\"\"") + '"';
}
}

bool SqliteTableShape::readAll(const Query& query, QMap<QString, SqliteTableShape>* out)
{
    QList<QVariantList> tables;
    if (!query(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%'"),
               &tables))
        return false;
    out->clear();
    for (const QVariantList& table : tables) {
        const QString name = table.value(0).toString();
        QList<QVariantList> rows;
        if (!query("PRAGMA table_info(" + quoted(name) + ")", &rows))
            return false;
        out->insert(name, fromRows(name, rows));
    }
    return true;
}

SqliteTableShape SqliteTableShape::fromRows(const QString& table, const QList<QVariantList>& rows)
{
    // table_info: cid, name, type, notnull, dflt_value, pk
    SqliteTableShape shape;
    shape.name = table;
    int keyColumns = 0;
    for (const QVariantList& row : rows) {
        Column column{row.value(1).toString(), row.value(2).toString(), row.value(3).toInt() != 0,
                      row.value(4).isValid(), row.value(5).toInt()};
        keyColumns += column.primaryKey != 0;
        shape.columns.append(column);
    }
    for (int i = 0; i < shape.columns.size(); ++i)
        if (keyColumns == 1 && shape.columns[i].primaryKey
            && shape.columns[i].type.compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0)
            shape.rowidColumn = i;
    return shape;
}

QString SqliteTableShape::departure(const QMap<QString, SqliteTableShape>& expected,
                                    const QMap<QString, SqliteTableShape>& actual)
{
    QStringList found;
    for (const SqliteTableShape& want : expected) {
        // A table not there yet is made by the schema's set-up.
        const auto have = actual.constFind(want.name);
        if (have == actual.constEnd())
            continue;
        QMap<QString, Column> haveColumns;
        for (const Column& column : have->columns)
            haveColumns.insert(column.name.toLower(), column);
        for (const Column& column : want.columns) {
            const auto other = haveColumns.constFind(column.name.toLower());
            if (other == haveColumns.constEnd())
                found << QStringLiteral("column %1.%2 is missing").arg(want.name, column.name);
            else if (other->type.compare(column.type, Qt::CaseInsensitive) != 0 || other->notNull != column.notNull
                     || (other->primaryKey != 0) != (column.primaryKey != 0))
                found << QStringLiteral("column %1.%2 is declared otherwise").arg(want.name, column.name);
            haveColumns.remove(column.name.toLower());
        }
        for (const Column& added : haveColumns)
            if (added.notNull && !added.hasDefault)
                found << QStringLiteral("column %1.%2 must be filled but the program does not know it")
                             .arg(want.name, added.name);
    }
    return found.join(QStringLiteral("; "));
}

SqliteTableShape::Affinity SqliteTableShape::affinityOf(const QString& declared)
{
    // SQLite's own rules, in its order.
    const QString type = declared.toUpper();
    if (type.contains(QLatin1String("INT")))
        return Affinity::Integer;
    if (type.contains(QLatin1String("CHAR")) || type.contains(QLatin1String("CLOB")) || type.contains(QLatin1String("TEXT")))
        return Affinity::Text;
    if (type.isEmpty() || type.contains(QLatin1String("BLOB")))
        return Affinity::Blob;
    if (type.contains(QLatin1String("REAL")) || type.contains(QLatin1String("FLOA")) || type.contains(QLatin1String("DOUB")))
        return Affinity::Real;
    return Affinity::Numeric;
}

bool SqliteTableShape::fits(int index, const QVariant& value) const
{
    if (index < 0 || index >= columns.size())
        return false;
    if (index == rowidColumn)
        return !value.isValid();
    if (!value.isValid())
        return !columns[index].notNull;
    const int type = value.typeId();
    const bool number = type == QMetaType::LongLong || type == QMetaType::Double;
    switch (affinityOf(columns[index].type)) {
    case Affinity::Integer:
    case Affinity::Real:
        // The program stores numbers there (SQLite would keep other text too).
        return number;
    case Affinity::Text:
        return type == QMetaType::QString || type == QMetaType::QByteArray;
    case Affinity::Numeric:
        return number || type == QMetaType::QString;
    case Affinity::Blob:
        return true;
    }
    return false;
}

bool SqliteTableShape::holds(const QVariantList& values, bool* exact) const
{
    if (values.isEmpty() || values.size() > columns.size())
        return false;
    for (int i = values.size(); i < columns.size(); ++i)
        if (columns[i].notNull && !columns[i].hasDefault)
            return false;
    for (int i = 0; i < values.size(); ++i)
        if (!fits(i, values[i]))
            return false;
    *exact = values.size() == columns.size();
    return true;
}
