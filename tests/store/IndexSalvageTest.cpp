#include "StoreTestBase.h"

#include "Public/SqliteDBManager.h"
#include "support/SqlitePages.h"

#include <QDir>
#include <QFileInfo>

namespace {

QStringList& albumLog()
{
    static QStringList lines;
    return lines;
}

void captureAlbumLog(QtMsgType, const QMessageLogContext&, const QString& text)
{
    if (text.startsWith("private album:"))
        albumLog().append(text);
}

// The private album's index damaged at rest: every row still in the file
// is carried into the fresh index with its date and library link.
class IndexSalvageTest : public StoreTestBase {
protected:
    QString indexPath() const { return photoDir() + "/photo"; }
    QStringList aside() const { return QDir(photoDir()).entryList({"photo.damaged-*"}, QDir::Files); }

    void reopen()
    {
        m_store.reset();
        albumLog().clear();
        const QtMessageHandler previous = qInstallMessageHandler(&captureAlbumLog);
        m_store = std::make_unique<PavPhotoManager>(photoDir(), m_library);
        qInstallMessageHandler(previous);
    }
    // Runs SQL on the closed album's index, leaving it whole at rest.
    void changeIndex(const QString& script)
    {
        m_store.reset();
        std::unique_ptr<SqliteDBManager> db = SqliteDBManager::initWithFilePath(indexPath());
        ASSERT_TRUE(db);
        ASSERT_TRUE(db->executeScript(script)) << db->lastError().toStdString();
        ASSERT_TRUE(db->executeSql("PRAGMA wal_checkpoint(TRUNCATE)"));
    }
    static QString urlOf(int i) { return QString("assets-library://asset/asset.JPG?id=%1&ext=JPG").arg(i); }
};

TEST_F(IndexSalvageTest, AZeroedRootOfThePhotoTableKeepsEveryRowOnItsLeafPages)
{
    constexpr int kRows = 400;
    m_store.reset();
    {
        std::unique_ptr<SqliteDBManager> db = SqliteDBManager::initWithFilePath(indexPath());
        ASSERT_TRUE(db);
        ASSERT_TRUE(db->transaction([&] {
            for (int i = 0; i < kRows; ++i)
                if (!db->executeSql("INSERT INTO photoes(datetime, photouuid, type, duration, systemurl, localpath)"
                                    " VALUES(?, ?, ?, ?, ?, '')",
                                    {1500000000 + i, PavPhotoModel::createFileUUID(), i % 2 ? 2 : 1, i % 2 ? 2.5 : 0.0,
                                     urlOf(i)}))
                    return false;
            return true;
        }));
        ASSERT_TRUE(db->executeSql("PRAGMA wal_checkpoint(TRUNCATE)"));
    }
    ASSERT_LE(QFileInfo(indexPath() + "-wal").size(), 0);
    const int root = SqlitePages::rootPageOf(indexPath(), "photoes");
    ASSERT_GT(root, 1);
    ASSERT_TRUE(SqlitePages::zeroPage(indexPath(), root));

    reopen();
    ASSERT_EQ(aside().size(), 1);
    ASSERT_FALSE(albumLog().isEmpty());
    EXPECT_TRUE(albumLog().first().contains("damaged")) << albumLog().first().toStdString();
    QList<QVariantList> rows;
    ASSERT_TRUE(m_store->encryptAlbumOp()->dbEngine()->queryValues(
        &rows, "SELECT datetime, type, duration, systemurl FROM photoes ORDER BY datetime"));
    ASSERT_EQ(rows.size(), kRows);
    for (int i = 0; i < kRows; ++i) {
        EXPECT_EQ(rows[i][0].toLongLong(), 1500000000 + i);
        EXPECT_EQ(rows[i][1].toInt(), i % 2 ? 2 : 1);
        EXPECT_DOUBLE_EQ(rows[i][2].toDouble(), i % 2 ? 2.5 : 0.0);
        EXPECT_EQ(rows[i][3].toString(), urlOf(i));
    }
}

// An index whose table is not as the program makes it (a column missing, or
// one added that every insert would have to fill) is damaged: it goes aside
// with its rows carried, and the album lists and stores again.
class IndexSchemaTest : public IndexSalvageTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(IndexSchemaTest, AnIndexOfAnotherSchemaKeepsItsRowsAndStoresAgain)
{
    ASSERT_TRUE(m_store->encryptAsset(*jpegAsset(urlOf(1), 1)));
    ASSERT_TRUE(m_store->encryptAsset(*jpegAsset(urlOf(2), 2)));
    changeIndex(GetParam());

    reopen();
    ASSERT_EQ(aside().size(), 1);
    ASSERT_FALSE(albumLog().isEmpty());
    EXPECT_TRUE(albumLog().first().contains("damaged") && albumLog().first().contains("schema"))
        << albumLog().first().toStdString();
    PavPhotoModelList items = m_store->photoes();
    ASSERT_EQ(items.size(), 2);
    QStringList urls;
    for (const PavPhotoModelPtr& item : items) {
        urls << item->photoURL();
        EXPECT_TRUE(m_store->hasItemFiles(*item));
    }
    urls.sort();
    EXPECT_EQ(urls, QStringList({urlOf(1), urlOf(2)}));

    EXPECT_TRUE(m_store->encryptAsset(*jpegAsset(urlOf(3), 3)));
    EXPECT_EQ(m_store->photoes().size(), 3);
    reopen();
    EXPECT_EQ(m_store->photoes().size(), 3);
    EXPECT_EQ(aside().size(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Schemas, IndexSchemaTest,
    ::testing::Values("ALTER TABLE photoes DROP COLUMN localpath;", "ALTER TABLE photoes DROP COLUMN duration;",
                      "CREATE TABLE p2(datetime INTEGER, photouuid TEXT, type INTEGER, duration DOUBLE DEFAULT 0,"
                      " systemurl TEXT, localpath TEXT, owner TEXT NOT NULL);"
                      "INSERT INTO p2 SELECT *, 'someone' FROM photoes; DROP TABLE photoes;"
                      "ALTER TABLE p2 RENAME TO photoes;"));

}
