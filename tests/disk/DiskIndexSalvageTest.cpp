#include "DiskFixture.h"
#include "StoreLog.h"

#include "Public/SqliteDBManager.h"
#include "support/ImageFixtures.h"
#include "support/SqlitePages.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace {

// A store whose index was damaged while closed keeps every row that can
// still be read, and gives no account away.
class DiskIndexSalvageTest : public DiskFixture {
protected:
    static QString nameOf(int i) { return QString("photo-%1.jpg").arg(i, 3, 10, QChar('0')); }
    static QByteArray bytesOf(int i) { return bytePattern(100 + i, i); }

    // Stores the files photo-000.jpg ... in the folder, straight through the store.
    void storeFiles(const DiskDirPtr& dir, int count)
    {
        for (int i = 0; i < count; ++i) {
            DiskStoreFile file;
            ASSERT_EQ(store->registerFile(login->sessionKey(), dir->dir_key(), nameOf(i), bytesOf(i).size(), {}, {},
                                          &file),
                      0);
            qint64 size = 0;
            ASSERT_EQ(store->appendChunk(login->sessionKey(), file.fileId, 0, bytesOf(i), &size), 0);
        }
    }

    QString indexPath() const { return storeDir.path() + "/index.db"; }
    QStringList aside() const { return QDir(storeDir.path()).entryList({"index.db.damaged-*"}, QDir::Files); }

    // Closes the store, zeroes the page of its index that holds `bytes` and opens it again.
    void reopenWithPageZeroed(const QByteArray& bytes)
    {
        store.reset();
        ASSERT_LE(QFileInfo(indexPath() + "-wal").size(), 0) << "the index at rest holds every row";
        const int page = SqlitePages::pageHolding(indexPath(), bytes);
        ASSERT_GT(page, 1);
        ASSERT_TRUE(SqlitePages::zeroPage(indexPath(), page));
        reopen();
    }
    void reopen()
    {
        store.reset();
        StoreLog log;
        store = DiskStore::open(storeDir.path(), &clock);
        ASSERT_TRUE(store);
        opened = log.lines();
    }
    QString signInLog(const QString& uin, const QString& pw)
    {
        RecordingDiskResponse r;
        login->setDelegate(&r);
        login->loginWithUserName(uin, pw);
        return waitForLog(r, 1) ? r.log.first() : "no answer";
    }

    // Each listed file reads back as it was stored.
    void expectReadBackWhole(const QList<DiskFilePtr>& files)
    {
        for (const DiskFilePtr& file : files) {
            const int i = file->file_name().mid(6, 3).toInt();
            QByteArray bytes;
            EXPECT_EQ(store->readChunk(login->sessionKey(), file->file_id(), 0, 1 << 20, &bytes), 0);
            EXPECT_EQ(bytes, bytesOf(i)) << file->file_name().toStdString();
        }
    }

    QStringList opened;   // what the latest open logged
};

TEST_F(DiskIndexSalvageTest, AZeroedPageLosesOnlyTheFilesItHeld)
{
    const DiskDirPtr disk = signIn("10001", "pw");
    ASSERT_TRUE(disk);
    ASSERT_TRUE(makeDir("相册", disk));
    storeFiles(disk, 200);
    reopenWithPageZeroed(nameOf(100).toUtf8());

    ASSERT_EQ(aside().size(), 1);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(opened.first().contains("is damaged") && opened.first().contains(aside().first())
                && opened.first().contains("rows"))
        << opened.first().toStdString();

    // The account kept its password and its folders.
    EXPECT_EQ(signInLog("10001", "other"), "login NO 1");
    const DiskDirPtr again = signIn("10001", "pw");
    ASSERT_TRUE(again);
    EXPECT_EQ(again->dir_key(), disk->dir_key());
    QList<DiskStoreDir> dirs;
    QList<DiskStoreFile> rows;
    ASSERT_EQ(store->listDir(login->sessionKey(), disk->dir_key(), &dirs, &rows), 0);
    ASSERT_EQ(dirs.size(), 1);
    EXPECT_EQ(dirs.first().name, "相册");

    // The files of the zeroed page are gone, the others are listed newest
    // first and read back whole.
    const QList<DiskFilePtr> files = filesIn(again);
    EXPECT_GT(files.size(), 150);
    EXPECT_LT(files.size(), 200);
    QSet<QString> names;
    for (const DiskFilePtr& file : files)
        names.insert(file->file_name());
    EXPECT_FALSE(names.contains(nameOf(100)));
    EXPECT_TRUE(names.contains(nameOf(0)) && names.contains(nameOf(199)));
    ASSERT_FALSE(files.isEmpty());
    EXPECT_EQ(files.first()->file_name(), nameOf(199));
    expectReadBackWhole(files);
    // Every blob stays, those the index no longer names too.
    EXPECT_EQ(blobs().size(), 200);
}

// A zeroed root page of the files table leads nowhere, but every file row
// is still on its leaf page: each is carried. The account's top folder row,
// lost as well, is made again, so the files are listed below it.
TEST_F(DiskIndexSalvageTest, AZeroedRootOfTheFilesTableLosesNoFile)
{
    const DiskDirPtr disk = signIn("10001", "pw");
    ASSERT_TRUE(disk);
    const QString rootKey = disk->dir_father()->dir_key();
    storeFiles(disk, 300);
    ASSERT_TRUE(store->db().executeSql("DELETE FROM folders WHERE dir_key = ?", {rootKey}));
    store.reset();
    ASSERT_LE(QFileInfo(indexPath() + "-wal").size(), 0) << "the index at rest holds every row";
    const int root = SqlitePages::rootPageOf(indexPath(), "files");
    ASSERT_GT(root, 1);
    ASSERT_TRUE(SqlitePages::zeroPage(indexPath(), root));
    reopen();
    ASSERT_EQ(aside().size(), 1);
    ASSERT_EQ(opened.size(), 2) << opened.join('\n').toStdString();
    EXPECT_TRUE(opened[0].contains("is damaged") && opened[0].contains("rows")) << opened[0].toStdString();
    EXPECT_TRUE(opened[1].contains("10001") && opened[1].contains("made again")) << opened[1].toStdString();

    const DiskDirPtr again = signIn("10001", "pw");
    ASSERT_TRUE(again);
    EXPECT_EQ(again->dir_key(), disk->dir_key());
    const QList<DiskFilePtr> files = filesIn(again);
    ASSERT_EQ(files.size(), 300);
    EXPECT_EQ(files.first()->file_name(), nameOf(299));
    expectReadBackWhole(files);
    EXPECT_EQ(store->unnamedBlobCount(), 0);
}

// An index whose files table lacks a column the store writes is damaged:
// set aside with its rows carried, and the account stores again.
TEST_F(DiskIndexSalvageTest, AFilesTableMissingAColumnIsSalvaged)
{
    const DiskDirPtr disk = signIn("10001", "pw");
    ASSERT_TRUE(disk);
    storeFiles(disk, 3);
    store.reset();
    {
        std::unique_ptr<SqliteDBManager> db = SqliteDBManager::initWithFilePath(indexPath());
        ASSERT_TRUE(db);
        ASSERT_TRUE(db->executeSql("ALTER TABLE files DROP COLUMN md5"));
    }
    reopen();
    ASSERT_EQ(aside().size(), 1);
    ASSERT_FALSE(opened.isEmpty());
    EXPECT_TRUE(opened.first().contains("is damaged") && opened.first().contains("files.md5"))
        << opened.first().toStdString();

    const DiskDirPtr again = signIn("10001", "pw");
    ASSERT_TRUE(again);
    EXPECT_EQ(filesIn(again).size(), 3);
    ASSERT_TRUE(uploadBytes(bytePattern(4000, 9), "after.jpg", again));
    EXPECT_EQ(filesIn(again).size(), 4);
}

TEST_F(DiskIndexSalvageTest, PlantedTriggersViewsAndUniqueIndexesMakeTheIndexDamaged)
{
    // Each leaves the tables as the program makes them, yet refuses every
    // sign-in or store, or takes a table's name so that no schema can be set up.
    const QList<QStringList> plants = {
        {"CREATE UNIQUE INDEX one_per_folder ON files(dir_key)"},
        {"CREATE TRIGGER refuse BEFORE INSERT ON sessions BEGIN SELECT RAISE(ABORT, 'no'); END"},
        {"ALTER TABLE sessions RENAME TO old_sessions", "CREATE VIEW sessions AS SELECT * FROM old_sessions"},
    };
    for (const QStringList& plant : plants) {
        SCOPED_TRACE(plant.join("; ").toStdString());
        for (const QString& name : aside())
            QFile::remove(storeDir.path() + "/" + name);
        const DiskDirPtr disk = signIn("10001", "pw");
        ASSERT_TRUE(disk);
        const int before = filesIn(disk).size();
        storeFiles(disk, 1);
        store.reset();
        {
            std::unique_ptr<SqliteDBManager> db = SqliteDBManager::initWithFilePath(indexPath());
            ASSERT_TRUE(db);
            for (const QString& statement : plant)
                ASSERT_TRUE(db->executeSql(statement)) << db->lastError().toStdString();
        }
        reopen();
        EXPECT_EQ(aside().size(), 1);
        ASSERT_FALSE(opened.isEmpty());
        EXPECT_TRUE(opened.first().contains("is not the program's")) << opened.first().toStdString();

        const DiskDirPtr again = signIn("10001", "pw");
        ASSERT_TRUE(again);
        EXPECT_EQ(filesIn(again).size(), before + 1);
        ASSERT_TRUE(uploadBytes(bytePattern(4000, before), "after-" + QString::number(before) + ".jpg", again));
        EXPECT_EQ(filesIn(again).size(), before + 2);
    }
}

TEST_F(DiskIndexSalvageTest, AnEmptyIndexFileKeepsWorking)
{
    const DiskDirPtr disk = signIn("10001", "pw");
    ASSERT_TRUE(disk);
    storeFiles(disk, 3);
    store.reset();
    ASSERT_TRUE(ImageFixtures::writeFile(indexPath(), QByteArray()));
    reopen();

    // A lost index: logged as damaged and kept aside as it was.
    ASSERT_EQ(aside().size(), 1);
    EXPECT_EQ(QFileInfo(storeDir.path() + "/" + aside().first()).size(), 0);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(opened.first().contains("is damaged") && opened.first().contains(aside().first()))
        << opened.first().toStdString();

    // Nothing of the account is left: signing in makes it again, over its
    // old blobs, and says so.
    StoreLog log;
    const DiskDirPtr fresh = signIn("10001", "new");
    ASSERT_TRUE(fresh);
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_TRUE(log.lines().first().contains("10001") && log.lines().first().contains("3 blobs"))
        << log.lines().first().toStdString();
    ASSERT_TRUE(uploadBytes(bytePattern(5000, 7), "after.jpg", fresh));
    const QList<DiskFilePtr> files = filesIn(fresh);
    ASSERT_EQ(files.size(), 1);
    EXPECT_EQ(files.first()->file_name(), "after.jpg");
    EXPECT_EQ(blobs().size(), 4);
}

TEST_F(DiskIndexSalvageTest, AnAccountWhoseRowWasLostIsNotMadeAgainOverItsFiles)
{
    const DiskDirPtr disk = signIn("10001", "pw");
    ASSERT_TRUE(disk);
    storeFiles(disk, 3);
    // The accounts table is one page, found by the digests it holds.
    reopenWithPageZeroed("pbkdf2-sha256$");
    ASSERT_EQ(aside().size(), 1);

    StoreLog log;
    EXPECT_EQ(signInLog("10001", "new"), "login NO 4");
    EXPECT_EQ(signInLog("10001", "pw"), "login NO 4");
    ASSERT_FALSE(log.lines().isEmpty());
    EXPECT_TRUE(log.lines().first().contains("10001") && log.lines().first().contains("refused"))
        << log.lines().first().toStdString();
    QList<QVariantList> rows;
    ASSERT_TRUE(store->db().queryValues(&rows, "SELECT COUNT(*) FROM accounts"));
    EXPECT_EQ(rows.first().value(0).toInt(), 0);
    ASSERT_TRUE(store->db().queryValues(&rows, "SELECT COUNT(*) FROM files WHERE uin = 10001"));
    EXPECT_EQ(rows.first().value(0).toInt(), 3);

    // An account of which nothing is left is made as before; the blobs of
    // the files still listed are not taken for orphans.
    log.lines().clear();
    EXPECT_EQ(signInLog("20002", "pw"), "login YES 0");
    EXPECT_TRUE(log.lines().isEmpty()) << log.lines().join('\n').toStdString();
}

// The first page (the file's header and schema) lost: the other pages are
// read as the store's own tables, so the account keeps its password and files.
TEST_F(DiskIndexSalvageTest, AnIndexWithoutItsFirstPageKeepsTheAccountAndItsFiles)
{
    const DiskDirPtr disk = signIn("10001", "pw");
    ASSERT_TRUE(disk);
    storeFiles(disk, 2);
    store.reset();
    ASSERT_TRUE(SqlitePages::zeroPage(indexPath(), 1));
    reopen();
    ASSERT_EQ(aside().size(), 1);

    StoreLog log;
    EXPECT_EQ(signInLog("10001", "new"), "login NO 1");
    const DiskDirPtr again = signIn("10001", "pw");
    ASSERT_TRUE(again);
    EXPECT_EQ(again->dir_key(), disk->dir_key());
    const QList<DiskFilePtr> files = filesIn(again);
    EXPECT_EQ(files.size(), 2);
    expectReadBackWhole(files);
    EXPECT_TRUE(log.lines().isEmpty()) << log.lines().join('\n').toStdString();
    EXPECT_EQ(blobs().size(), 2);
}

TEST_F(DiskIndexSalvageTest, AnEmptyIndexOfAStoreWithoutBlobsIsNotDamaged)
{
    store.reset();
    ASSERT_TRUE(blobs().isEmpty());
    ASSERT_TRUE(ImageFixtures::writeFile(indexPath(), QByteArray()));
    reopen();
    EXPECT_TRUE(aside().isEmpty());
    EXPECT_TRUE(opened.isEmpty()) << opened.join('\n').toStdString();

    StoreLog log;
    EXPECT_EQ(signInLog("10001", "pw"), "login YES 0");
    EXPECT_TRUE(log.lines().isEmpty()) << log.lines().join('\n').toStdString();
}

}
