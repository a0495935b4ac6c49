#include "Public/SqliteLeafSalvage.h"

#include <QHash>

SqliteLeafSalvage::SqliteLeafSalvage(const QString& path, QMap<QString, Table> tables, int assumedPageSize)
    : m_pages(path, assumedPageSize), m_tables(std::move(tables))
{
}

int SqliteLeafSalvage::rowsHeld(const Table& table, const SqliteFilePages::Leaf& leaf, bool* exact)
{
    int held = 0;
    *exact = true;
    for (const SqliteFilePages::Cell& cell : leaf.cells) {
        bool cellExact = false;
        if (table.shape.holds(cell.values, &cellExact))
            ++held;
        *exact = *exact && cellExact;
    }
    return held;
}

const SqliteLeafSalvage::Table* SqliteLeafSalvage::ownerOf(const SqliteFilePages::Leaf& leaf,
                                                           const Table* treeOwner) const
{
    if (treeOwner)
        return treeOwner;
    QList<const Table*> whole;
    QList<const Table*> wholeAndExact;
    for (const Table& table : m_tables) {
        // A page no tree leads to is not one of a tree that is whole.
        if (m_wholeTrees.contains(table.shape.name))
            continue;
        bool exact = false;
        if (rowsHeld(table, leaf, &exact) == leaf.cells.size()) {
            whole.append(&table);
            if (exact)
                wholeAndExact.append(&table);
        }
    }
    if (whole.size() == 1)
        return whole.first();
    return wholeAndExact.size() == 1 ? wholeAndExact.first() : nullptr;
}

int SqliteLeafSalvage::run(const Carry& carry)
{
    if (!m_pages.isReadable())
        return 1;
    // Page 1 is the root of SQLite's own table of the schema.
    QHash<quint32, const Table*> treeOwner;
    QSet<quint32> schemaPages = m_pages.leavesUnder(1);
    m_wholeTrees.clear();
    for (const Table& table : m_tables) {
        bool whole = false;
        if (table.root > 1)
            for (quint32 page : m_pages.leavesUnder(table.root, &whole))
                treeOwner.insert(page, &table);
        if (whole)
            m_wholeTrees.insert(table.shape.name);
    }
    const QSet<quint32> free = m_pages.freePages();
    int lost = 0;
    QList<quint32> unknown;
    for (quint32 number = 1; number <= m_pages.pageCount(); ++number) {
        if (free.contains(number) || schemaPages.contains(number))
            continue;
        const std::optional<SqliteFilePages::Leaf> leaf = m_pages.readLeaf(number);
        if (!leaf) {
            unknown.append(number);
            continue;
        }
        lost += leaf->unreadableCells;
        if (leaf->cells.isEmpty())
            continue;
        const Table* owner = ownerOf(*leaf, treeOwner.value(number));
        if (!owner) {
            lost += int(leaf->cells.size());
            continue;
        }
        for (const SqliteFilePages::Cell& cell : leaf->cells) {
            bool exact = false;
            if (owner->shape.holds(cell.values, &exact))
                carry(owner->shape, cell);
            else
                ++lost;
        }
    }
    // Pages of no kind: damaged ones (overflow pages are known once the rows were read).
    for (quint32 number : unknown)
        lost += !m_pages.isKnownPage(number);
    return lost;
}
