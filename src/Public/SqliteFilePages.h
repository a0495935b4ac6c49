#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QVariantList>

#include <optional>

// Reads an SQLite database file page by page as its file format lays it
// out, without SQLite: what salvage uses to reach rows on pages whose tree
// no longer leads to them. Every length, count and page number read from
// the file is checked against the bytes there before it is used; an
// overflow chain is followed within the file and never twice through one
// page. The file is opened as a regular file only and never written; only
// its first 4 GiB are read.
class SqliteFilePages {
public:
    // One row of a table leaf page: its rowid and the values of its record.
    struct Cell {
        qint64 rowid = 0;
        QVariantList values;   // NULL as an invalid QVariant; integers qint64, text QString, blobs QByteArray
    };
    struct Leaf {
        QList<Cell> cells;
        int unreadableCells = 0;
    };

    // assumedPageSize: the page size to read the file at when its header
    // (the start of page 1) is lost; 0 to read nothing then.
    explicit SqliteFilePages(const QString& path, int assumedPageSize = 0);
    ~SqliteFilePages();
    SqliteFilePages(const SqliteFilePages&) = delete;
    SqliteFilePages& operator=(const SqliteFilePages&) = delete;

    // Whether the file's pages can be read (the page size is known).
    bool isReadable() const { return m_fd >= 0; }
    quint32 pageCount() const { return m_pageCount; }

    // The table leaf pages a table's tree leads to from its root, as far as
    // its interior pages can be read; whole is set when every page the tree
    // names could be read as one of its pages (no page of it is elsewhere).
    QSet<quint32> leavesUnder(quint32 root, bool* whole = nullptr) const;
    // The pages of the free list, its trunk pages and the pages they list.
    QSet<quint32> freePages() const;
    // The rows of a table leaf page; none when the page is not one.
    std::optional<Leaf> readLeaf(quint32 page) const;
    // Whether the page is a b-tree page of any kind (or was read as part of
    // an overflow chain): a page that is neither is damaged or unused.
    bool isKnownPage(quint32 page) const;

private:
    QByteArray page(quint32 number) const;
    // Where the b-tree header of a page starts (after the file header on page 1).
    static int headerOffset(quint32 number) { return number == 1 ? 100 : 0; }
    bool cellAt(const QByteArray& bytes, int at, int firstCell, Cell* out) const;
    std::optional<QByteArray> payloadOf(const QByteArray& leaf, int at, int end) const;
    std::optional<QVariantList> recordOf(const QByteArray& payload) const;

    int m_fd = -1;
    int m_pageSize = 0;
    int m_usable = 0;
    int m_encoding = 1;    // 1 UTF-8, 2 UTF-16le, 3 UTF-16be
    quint32 m_pageCount = 0;
    quint32 m_freeTrunk = 0;
    mutable QSet<quint32> m_overflowPages;
};
