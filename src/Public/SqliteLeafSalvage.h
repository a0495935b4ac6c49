#pragma once

#include "Public/SqliteFilePages.h"
#include "Public/SqliteTableShape.h"

#include <QMap>
#include <QString>

#include <functional>

// Finds the rows on every table leaf page of a damaged SQLite file, those
// whose tree no longer leads to them included (a damaged root or interior
// page). A page a table's own tree still leads to belongs to that table;
// any other page (free-list pages are left out: what they hold was
// deleted) is given to the one table, of those whose tree is not whole,
// whose shape (see
// SqliteTableShape::holds) takes every row on it, preferring a table whose
// column count the rows have exactly. A page that fits no table, or more
// than one alike, is not given to any: a row is never carried into a table
// on a guess. SqliteSalvage's second pass, after it read each table's tree.
class SqliteLeafSalvage {
public:
    struct Table {
        SqliteTableShape shape;
        quint32 root = 0;   // the table's root page; 0 when not known
    };
    using Carry = std::function<void(const SqliteTableShape& table, const SqliteFilePages::Cell& row)>;

    // tables: the file's own tables as its schema says, or, when that
    // cannot be read, the tables the file is meant to have (roots unknown).
    // assumedPageSize: see SqliteFilePages.
    SqliteLeafSalvage(const QString& path, QMap<QString, Table> tables, int assumedPageSize);

    bool isReadable() const { return m_pages.isReadable(); }
    // Hands every row found to carry, page by page; the number of pages and
    // rows that could not be read or given to a table.
    int run(const Carry& carry);

private:
    // The table a page of rows belongs to; null when none can be told.
    const Table* ownerOf(const SqliteFilePages::Leaf& leaf, const Table* treeOwner) const;
    static int rowsHeld(const Table& table, const SqliteFilePages::Leaf& leaf, bool* exact);

    SqliteFilePages m_pages;
    QMap<QString, Table> m_tables;
    QSet<QString> m_wholeTrees;   // tables whose every tree page could be read
};
