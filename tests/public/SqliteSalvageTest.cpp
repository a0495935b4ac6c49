#include "Public/SqliteDBManager.h"
#include "Public/SqliteIndexFile.h"
#include "support/SqlitePages.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

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

}
