#include "Public/SqliteDBManager.h"
#include "Public/SqliteIndexFile.h"
#include "support/SqlitePages.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Writes bytes over a page of the file at an offset into it.
bool patchPage(const QString& path, int page, int offset, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite) && file.seek(qint64(page - 1) * 4096 + offset)
        && file.write(bytes) == bytes.size();
}

// The rows a query finds in the index opened after its damage was found.
QList<QVariantList> rowsAfterSalvage(const QString& path, const SqliteIndexFile::Schema& schema, const QString& sql)
{
    SqliteIndexFile::Opened opened = SqliteIndexFile::open(path, schema, "test");
    QList<QVariantList> rows;
    EXPECT_TRUE(opened.db && opened.startedAfresh);
    EXPECT_TRUE(opened.db && opened.db->queryValues(&rows, sql));
    return rows;
}

QString textOf(int i)
{
    return QString("row-%1 ").arg(i, 4, 10, QChar('0')).repeated(8);
}

// Several damaged pages of one table, its first and last among them: the
// rows between them are all carried, each with its own values and rowid,
// and an older file's missing column is left to its default.
TEST(SqliteSalvageTest, EveryStretchBetweenDamagedPagesIsCarried)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("index.db");
    const auto schema = [](SqliteDBManager& db) {
        return db.executeScript("CREATE TABLE IF NOT EXISTS t(name TEXT NOT NULL, size INTEGER, extra TEXT DEFAULT 'x');"
                                "CREATE INDEX IF NOT EXISTS t_size ON t(size);");
    };
    constexpr int kRows = 2000;
    {
        std::unique_ptr<SqliteDBManager> db = SqliteDBManager::initWithFilePath(path);
        ASSERT_TRUE(db);
        ASSERT_TRUE(db->executeSql("CREATE TABLE t(name TEXT NOT NULL, size INTEGER)"));
        ASSERT_TRUE(db->transaction([&] {
            for (int i = 0; i < kRows; ++i)
                if (!db->executeSql("INSERT INTO t(rowid, name, size) VALUES(?, ?, ?)", {i * 3 + 1, textOf(i), i}))
                    return false;
            return true;
        }));
    }
    const QList<int> lost = {0, 700, 790, 1400, kRows - 1};
    for (int i : lost) {
        const int page = SqlitePages::pageHolding(path, textOf(i).toUtf8());
        ASSERT_GT(page, 1) << i;
        ASSERT_TRUE(SqlitePages::zeroPage(path, page));
    }

    SqliteIndexFile::Opened opened = SqliteIndexFile::open(path, schema, "test");
    ASSERT_TRUE(opened.db);
    EXPECT_TRUE(opened.startedAfresh);
    QList<QVariantList> rows;
    ASSERT_TRUE(opened.db->queryValues(&rows, "SELECT rowid, name, size, extra FROM t ORDER BY rowid"));
    QSet<int> kept;
    for (const QVariantList& row : rows) {
        const int i = row[2].toInt();
        kept.insert(i);
        EXPECT_EQ(row[0].toLongLong(), i * 3 + 1);
        EXPECT_EQ(row[1].toString(), textOf(i));
        EXPECT_EQ(row[3].toString(), "x");
    }
    for (int i : lost)
        EXPECT_FALSE(kept.contains(i)) << i;
    // What lies between the damaged pages, the one page between those of 700 and 790 included.
    for (int i : {100, 600, 745, 850, 1300, 1500, 1900})
        EXPECT_TRUE(kept.contains(i)) << i;
    EXPECT_GT(rows.size(), kRows - 300);
    // The damaged file is kept as it was, with nothing beside it.
    EXPECT_EQ(QDir(dir.path()).entryList({"index.db.damaged-*"}, QDir::Files).size(), 1);
}

// Rows behind a zeroed root page are all still on their leaf pages: each is
// carried with its values (long ones read through their overflow pages),
// under its rowid. Rows deleted before (their pages on the free list) stay
// deleted, and a table of the same shape whose tree is whole takes none of
// the orphaned rows.
TEST(SqliteSalvageTest, RowsBehindAZeroedRootAreCarriedAndDeletedOnesStayDeleted)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("index.db");
    const auto schema = [](SqliteDBManager& db) {
        return db.executeScript("CREATE TABLE IF NOT EXISTS t(name TEXT NOT NULL, size INTEGER, note TEXT);"
                                "CREATE TABLE IF NOT EXISTS twin(name TEXT NOT NULL, size INTEGER, note TEXT);"
                                "CREATE INDEX IF NOT EXISTS t_size ON t(size);");
    };
    constexpr int kRows = 900;
    const auto noteOf = [](int i) { return i % 40 == 0 ? QString("long note %1 ").arg(i).repeated(900) : QString(); };
    {
        std::unique_ptr<SqliteDBManager> db = SqliteDBManager::initWithFilePath(path);
        ASSERT_TRUE(db);
        ASSERT_TRUE(schema(*db));
        ASSERT_TRUE(db->transaction([&] {
            for (int i = 0; i < kRows; ++i)
                if (!db->executeSql("INSERT INTO t(rowid, name, size, note) VALUES(?, ?, ?, ?)",
                                    {i + 1, textOf(i), i, noteOf(i)}))
                    return false;
            return db->executeSql("INSERT INTO twin(name, size, note) VALUES('twin', 1, NULL)");
        }));
        // Deleted pages keep what they held, as on a disk without secure deletion.
        ASSERT_TRUE(db->executeSql("PRAGMA secure_delete = OFF"));
        ASSERT_TRUE(db->executeSql("DELETE FROM t WHERE size BETWEEN 300 AND 499"));
    }
    const int root = SqlitePages::rootPageOf(path, "t");
    ASSERT_GT(root, 1);
    ASSERT_GT(SqlitePages::pageHolding(path, textOf(350).toUtf8()), 0) << "a freed page still holds deleted rows";
    ASSERT_TRUE(SqlitePages::zeroPage(path, root));

    // The twin's row first (its rowid turned negative), then the table's own.
    QList<QVariantList> rows = rowsAfterSalvage(path, schema,
                                                "SELECT -rowid, name, size, note FROM twin UNION ALL"
                                                " SELECT rowid, name, size, note FROM t ORDER BY 1");
    ASSERT_EQ(rows.size(), kRows - 200 + 1);
    EXPECT_EQ(rows.takeFirst(), QVariantList({-1LL, "twin", 1LL, QVariant()}));
    for (const QVariantList& row : rows) {
        const int i = row[2].toInt();
        EXPECT_TRUE(i < 300 || i >= 500) << i;
        EXPECT_EQ(row[0].toLongLong(), i + 1);
        EXPECT_EQ(row[1].toString(), textOf(i));
        EXPECT_EQ(row[3].toString(), noteOf(i)) << i;
    }
}

// A table whose columns are not those the program makes is damaged: it is
// moved aside, and its rows carried with the columns both have.
TEST(SqliteSalvageTest, ATableMissingAColumnIsDamagedAndItsRowsCarried)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("index.db");
    const auto schema = [](SqliteDBManager& db) {
        return db.executeScript("CREATE TABLE IF NOT EXISTS t(name TEXT NOT NULL, size INTEGER, kind TEXT);");
    };
    {
        std::unique_ptr<SqliteDBManager> db = SqliteDBManager::initWithFilePath(path);
        ASSERT_TRUE(db);
        ASSERT_TRUE(db->executeScript("CREATE TABLE t(name TEXT NOT NULL, size INTEGER);"
                                      "INSERT INTO t(rowid, name, size) VALUES(7, 'a', 1), (9, 'b', 2);"));
    }
    SqliteIndexFile::Opened opened = SqliteIndexFile::open(path, schema, "test");
    ASSERT_TRUE(opened.db);
    EXPECT_TRUE(opened.startedAfresh);
    QList<QVariantList> rows;
    ASSERT_TRUE(opened.db->queryValues(&rows, "SELECT rowid, name, size, kind FROM t ORDER BY rowid"));
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0], QVariantList({7LL, "a", 1LL, QVariant()}));
    EXPECT_EQ(rows[1], QVariantList({9LL, "b", 2LL, QVariant()}));

    // A table as the program makes it, with an added column it may leave empty, is used as it is.
    ASSERT_TRUE(opened.db->executeSql("ALTER TABLE t ADD COLUMN later TEXT"));
    opened.db.reset();
    opened = SqliteIndexFile::open(path, schema, "test");
    ASSERT_TRUE(opened.db);
    EXPECT_FALSE(opened.startedAfresh);
}

// Pages read without their tree are outside input: an overflow chain that
// turns back on itself and a cell pointer past the page lose their own row
// only, and the salvage ends.
TEST(SqliteSalvageTest, ALoopingOverflowChainAndABadCellLoseOnlyTheirRows)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("index.db");
    const auto schema = [](SqliteDBManager& db) {
        return db.executeScript("CREATE TABLE IF NOT EXISTS t(name TEXT NOT NULL, size INTEGER, note TEXT);");
    };
    constexpr int kRows = 300;
    QString longNote;
    for (int k = 0; k < 2000; ++k)
        longNote += QString("note-%1 ").arg(k, 5, 10, QChar('0'));
    {
        std::unique_ptr<SqliteDBManager> db = SqliteDBManager::initWithFilePath(path);
        ASSERT_TRUE(db);
        ASSERT_TRUE(db->executeSql("PRAGMA page_size = 4096"));
        ASSERT_TRUE(schema(*db));
        ASSERT_TRUE(db->transaction([&] {
            for (int i = 0; i < kRows; ++i)
                if (!db->executeSql("INSERT INTO t(rowid, name, size, note) VALUES(?, ?, ?, ?)",
                                    {i + 1, textOf(i), i, i == 100 ? longNote : QString()}))
                    return false;
            return true;
        }));
    }
    // The second page of the long note's chain names itself as the next one.
    const int overflow = SqlitePages::pageHolding(path, longNote.mid(8000, 200).toUtf8());
    ASSERT_GT(overflow, 2);
    ASSERT_TRUE(patchPage(path, overflow, 0, QByteArray::fromHex(QByteArray::number(overflow, 16).rightJustified(8, '0'))));
    // A leaf whose first cell pointer lies past the page.
    const int leaf = SqlitePages::pageHolding(path, textOf(200).toUtf8());
    ASSERT_GT(leaf, 1);
    ASSERT_TRUE(patchPage(path, leaf, 8, QByteArray::fromHex("ffff")));
    ASSERT_TRUE(SqlitePages::zeroPage(path, SqlitePages::rootPageOf(path, "t")));

    const QList<QVariantList> rows =
        rowsAfterSalvage(path, schema, "SELECT rowid, name, size, note FROM t ORDER BY rowid");
    EXPECT_EQ(rows.size(), kRows - 2);
    for (const QVariantList& row : rows) {
        const int i = row[2].toInt();
        EXPECT_NE(i, 100);
        EXPECT_EQ(row[0].toLongLong(), i + 1);
        EXPECT_EQ(row[1].toString(), textOf(i));
        EXPECT_EQ(row[3].toString(), QString());
    }
}

}
