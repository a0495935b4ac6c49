#include "Public/SqliteDBManager.h"
#include "support/ImageFixtures.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
class SqliteDBManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_db = SqliteDBManager::initWithFilePath(dbPath());
        ASSERT_TRUE(m_db);
        ASSERT_TRUE(m_db->executeSql("CREATE TABLE IF NOT EXISTS x (name TEXT, note TEXT, size INTEGER)"));
    }
    QString dbPath() const { return m_dir.path() + "/sub/folder/test.db"; }
    int count(const QString& where = "1", const QVariantList& binds = {})
    {
        QList<QVariantList> rows;
        if (!m_db->queryValues(&rows, "SELECT COUNT(*) FROM x WHERE " + where, binds))
            return -1;
        return rows.value(0).value(0).toInt();
    }

    QTemporaryDir m_dir;
    std::unique_ptr<SqliteDBManager> m_db;
};
}

TEST_F(SqliteDBManagerTest, OpensInNewFoldersAndRefusesWhatCannotBeOpened)
{
    EXPECT_TRUE(QFile::exists(dbPath()));
    EXPECT_FALSE(SqliteDBManager::initWithFilePath(QString()));
    ASSERT_TRUE(ImageFixtures::writeFile(m_dir.path() + "/plainfile", "not a folder"));
    EXPECT_FALSE(SqliteDBManager::initWithFilePath(m_dir.path() + "/plainfile/inside.db"));
}

TEST_F(SqliteDBManagerTest, QuotesAndStatementTextStayValues)
{
    const QString quoted = "IMG_0001 O'Brien's.JPG";
    const QString injection = "'; DROP TABLE x; --";
    ASSERT_TRUE(m_db->executeSql("INSERT INTO x (name, size) VALUES (?, ?)", {quoted, 1}));
    ASSERT_TRUE(m_db->executeSql("INSERT INTO x (name, size) VALUES (?, ?)", {injection, 2}));

    QList<SqliteDBManager::Row> rows;
    ASSERT_TRUE(m_db->queryResult(&rows, "SELECT name FROM x ORDER BY size"));
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].value("name"), quoted);
    EXPECT_EQ(rows[1].value("name"), injection);

    EXPECT_EQ(count("name = ?", {quoted}), 1);
    EXPECT_EQ(count("name = ?", {injection}), 1);
    int affected = -1;
    ASSERT_TRUE(m_db->executeSqlWithAffectedRowNumber("DELETE FROM x WHERE name = ?", {injection}, &affected));
    EXPECT_EQ(affected, 1);
    EXPECT_EQ(count(), 1);   // the table survived

    // For the rare text inside SQL, quotes are doubled.
    EXPECT_EQ(SqliteDBManager::sqlString(quoted), "IMG_0001 O''Brien''s.JPG");
    EXPECT_EQ(count("name = '" + SqliteDBManager::sqlString(quoted) + "'"), 1);
}

TEST_F(SqliteDBManagerTest, NullColumnsAreLeftOutOfTextRows)
{
    ASSERT_TRUE(m_db->executeSql("INSERT INTO x (name, note, size) VALUES (?, ?, ?)", {"a", QVariant(), 64}));
    QList<SqliteDBManager::Row> rows;
    ASSERT_TRUE(m_db->queryResult(&rows, "SELECT name, note, size FROM x"));
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].value("name"), "a");
    EXPECT_FALSE(rows[0].contains("note"));
    EXPECT_EQ(rows[0].value("size"), "64");

    QList<QVariantList> values;
    ASSERT_TRUE(m_db->queryValues(&values, "SELECT note, size FROM x"));
    EXPECT_FALSE(values[0][0].isValid());
    EXPECT_EQ(values[0][1].toLongLong(), 64);
}

TEST_F(SqliteDBManagerTest, ColumnExistsInTable)
{
    EXPECT_TRUE(m_db->columnExistsInTable("note", "x"));
    EXPECT_TRUE(m_db->columnExistsInTable("NOTE", "x"));
    EXPECT_FALSE(m_db->columnExistsInTable("color", "x"));
    EXPECT_FALSE(m_db->columnExistsInTable("note", "missing_table"));
}

// The connection's own busy wait runs out while the other holds its lock;
// the retries then carry the write, once the lock goes.
TEST_F(SqliteDBManagerTest, RetriesABusyWriteUntilTheOtherConnectionsLockGoes)
{
    auto other = SqliteDBManager::initWithFilePath(dbPath());
    ASSERT_TRUE(other);
    ASSERT_TRUE(m_db->executeSql("BEGIN EXCLUSIVE"));
    ASSERT_TRUE(m_db->executeSql("INSERT INTO x (name) VALUES ('first')"));

    int retries = 0;
    other->setBusyRetryHook([&] {
        if (++retries == 2) {
            ASSERT_TRUE(m_db->executeSql("COMMIT"));
        }
    });
    EXPECT_TRUE(other->executeSql("INSERT INTO x (name) VALUES (?)", {"second"})) << other->lastError().toStdString();
    EXPECT_EQ(retries, 2);
    EXPECT_EQ(count(), 2);
}

TEST_F(SqliteDBManagerTest, GivesUpWhenTheLockIsNeverReleased)
{
    auto other = SqliteDBManager::initWithFilePath(dbPath());
    ASSERT_TRUE(other);
    other->setMaxBusyRetries(2);
    int retries = 0;
    other->setBusyRetryHook([&] { ++retries; });
    ASSERT_TRUE(m_db->executeSql("BEGIN EXCLUSIVE"));
    EXPECT_FALSE(other->executeSql("INSERT INTO x (name) VALUES (?)", {"late"}));
    EXPECT_EQ(retries, 2);
    EXPECT_FALSE(other->lastError().isEmpty());
    ASSERT_TRUE(m_db->executeSql("ROLLBACK"));
    EXPECT_TRUE(other->executeSql("INSERT INTO x (name) VALUES (?)", {"late"}));
    EXPECT_EQ(retries, 2) << "a free database needs no retry";
}
