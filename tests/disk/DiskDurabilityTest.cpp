#include "DiskFixture.h"

#include "Public/SqliteDBManager.h"
#include "disk/DiskAccounts.h"
#include "disk/DiskFileCache.h"
#include "support/EventLoop.h"
#include "support/ImageFixtures.h"

#include <QDir>
#include <QFile>
#include <QStorageInfo>

namespace {

class DiskDurabilityTest : public DiskFixture {
protected:
    QString blobPath(const QString& id) const { return storeDir.path() + "/blobs/" + id; }

    // Uploads until `stopAt` bytes are stored, then stops.
    DiskFilePtr stoppedUpload(const QByteArray& bytes, const DiskDirPtr& dir, qint64 stopAt)
    {
        DiskFilePtr file = DiskFile::initWithUploadData(bytes, "part.bin", dir);
        manager->setChunkObserver([&](const DiskFilePtr& f, qint64 done) {
            if (done == stopAt)
                manager->requestStopUploadFile(f);
        });
        RecordingDiskResponse r;
        manager->requestUploadFile(file, &r);
        const bool stopped = waitForLog(r, 1) && r.log.first() == "upload fail";
        manager->setChunkObserver({});
        return stopped ? file : nullptr;
    }

    QByteArray downloadFresh(const DiskFilePtr& file, RecordingDiskResponse& r)
    {
        manager->requestDownloadFile(file, &r);
        return waitForLog(r, 1) && r.log.first() == "download ok" ? ImageFixtures::readFile(file->file_path())
                                                                   : QByteArray();
    }

    static void corrupt(const QString& path, qint64 at)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.seek(at));
        const char c = f.peek(1).at(0);
        ASSERT_TRUE(f.putChar(char(c ^ 0x5a)));
    }
};

TEST_F(DiskDurabilityTest, ABlobShorterThanRecordedIsResetAndTheLostBytesAreSentAgain)
{
    const DiskDirPtr dir = signIn();
    const QByteArray bytes = bytePattern(5 * 64 * 1024 + 10);
    const DiskFilePtr file = stoppedUpload(bytes, dir, 3 * 64 * 1024);
    ASSERT_TRUE(file);
    // A power failure kept only part of what the index records.
    ASSERT_TRUE(QFile::resize(blobPath(file->file_id()), 100000));

    // The store refuses to append past a gap and goes back to what it holds.
    qint64 reached = -1;
    EXPECT_EQ(store->appendChunk(login->sessionKey(), file->file_id(), 3 * 64 * 1024, bytes.mid(3 * 64 * 1024, 10),
                                 &reached),
              -416);
    EXPECT_EQ(reached, 100000);
    DiskStoreFile stored;
    ASSERT_EQ(store->fileInfo(login->sessionKey(), file->file_id(), &stored), 0);
    EXPECT_EQ(stored.curSize, 100000);
    EXPECT_EQ(QFile(blobPath(file->file_id())).size(), 100000);

    // Lost again while the facade thinks the store is further on: it follows
    // the store back, resends and ends with the same bytes.
    ASSERT_TRUE(QFile::resize(blobPath(file->file_id()), 70000));
    QList<qint64> ends;
    manager->setChunkObserver([&](const DiskFilePtr&, qint64 done) { ends.append(done); });
    RecordingDiskResponse r;
    manager->requestUploadFile(file, &r);
    ASSERT_TRUE(waitForLog(r, 1));
    EXPECT_EQ(r.log.first(), "upload ok");
    ASSERT_FALSE(ends.isEmpty());
    EXPECT_EQ(ends.first(), 70000 + 64 * 1024);
    EXPECT_EQ(ImageFixtures::readFile(blobPath(file->file_id())), bytes);
}

TEST_F(DiskDurabilityTest, TheWholeMustMatchItsAnnouncedDigestOrTheUploadTakesItsBlobAndRowAway)
{
    const DiskDirPtr dir = signIn();
    DiskStoreFile registered;
    ASSERT_EQ(store->registerFile(login->sessionKey(), dir->dir_key(), "x.bin", 3,
                                  "a9993e364706816aba3e25717850c26c9cd0d89d", QString(), &registered),
              0);
    qint64 reached = 0;
    EXPECT_EQ(store->appendChunk(login->sessionKey(), registered.fileId, 0, "abd", &reached), -422);
    ASSERT_EQ(store->fileInfo(login->sessionKey(), registered.fileId, &registered), 0);
    EXPECT_EQ(registered.curSize, 0);
    EXPECT_EQ(store->appendChunk(login->sessionKey(), registered.fileId, 0, "abc", &reached), 0);
    EXPECT_EQ(reached, 3);
    ASSERT_EQ(store->deleteFile(login->sessionKey(), registered.fileId), 0);

    // Through the facade: bytes that are not what the file says they are.
    DiskFilePtr file = DiskFile::initWithUploadData(bytePattern(2 * 64 * 1024), "claimed.bin", dir);
    ASSERT_TRUE(file);
    const QString cachedCopy = file->file_path();
    file->setDigests("0000000000000000000000000000000000000000", file->md5());
    RecordingDiskResponse r;
    manager->requestUploadFile(file, &r);
    ASSERT_TRUE(waitForLog(r, 1));
    EXPECT_EQ(r.log.first(), "upload fail");
    EXPECT_EQ(r.lastError.code, -422);
    EXPECT_TRUE(blobs().isEmpty());
    EXPECT_TRUE(file->file_id().isEmpty());
    QList<QVariantList> rows;
    ASSERT_TRUE(store->db().queryValues(&rows, "SELECT file_id FROM files"));
    EXPECT_TRUE(rows.isEmpty());
    EXPECT_FALSE(DiskFileCache::shared().contains(file->local_id()));
    EXPECT_FALSE(QFile::exists(cachedCopy));

    // A file announced without a digest gets the one of what arrived.
    const DiskFilePtr plain = uploadBytes("abc", "plain.txt", dir);
    ASSERT_TRUE(plain);
    ASSERT_EQ(store->fileInfo(login->sessionKey(), plain->file_id(), &registered), 0);
    EXPECT_EQ(registered.sha1, "a9993e364706816aba3e25717850c26c9cd0d89d");
}

TEST_F(DiskDurabilityTest, DownloadsAreCheckedAgainstTheIndexDigestAndFetchedOnceMore)
{
    const DiskDirPtr dir = signIn();
    const QByteArray bytes = bytePattern(3 * 64 * 1024 + 1, 7);
    const DiskFilePtr file = uploadBytes(bytes, "d.bin", dir);
    ASSERT_TRUE(file);
    int reads = 0;
    manager->setChunkObserver([&](const DiskFilePtr&, qint64) { ++reads; });

    // A damaged local copy of the right size is dropped and fetched again.
    ASSERT_TRUE(ImageFixtures::writeFile(file->file_path(), bytePattern(bytes.size(), 8)));
    RecordingDiskResponse local;
    EXPECT_EQ(downloadFresh(file, local), bytes);
    EXPECT_EQ(reads, 4);

    // A damaged blob of the right size: two fetches, then the download fails
    // and leaves no copy behind.
    QFile::remove(file->file_path());
    corrupt(blobPath(file->file_id()), 100);
    reads = 0;
    RecordingDiskResponse damaged;
    EXPECT_TRUE(downloadFresh(file, damaged).isEmpty());
    EXPECT_EQ(damaged.log, QStringList{"download fail"});
    EXPECT_EQ(damaged.lastError.code, -422);
    EXPECT_EQ(damaged.lastError.message, "操作失败，请稍候重试。");
    EXPECT_EQ(reads, 8);
    EXPECT_FALSE(QFile::exists(file->file_path()));

    // A blob cut short under its complete row fails the download (and is
    // never read past its end).
    ASSERT_TRUE(QFile::resize(blobPath(file->file_id()), 1000));
    RecordingDiskResponse cut;
    EXPECT_TRUE(downloadFresh(file, cut).isEmpty());
    EXPECT_EQ(cut.lastError.code, -500);
}

// Opening the store ends what an earlier cleanup could not: a partial file
// whose blob is gone. A complete file is never removed, not even one whose
// blob went missing, nor a partial one that still has its blob.
TEST_F(DiskDurabilityTest, APartialRowWithoutItsBlobGoesAtTheNextOpenAndNothingElseDoes)
{
    const DiskDirPtr dir = signIn();
    const DiskFilePtr complete = uploadBytes(bytePattern(1000, 1), "complete.bin", dir);
    ASSERT_TRUE(complete);
    const DiskFilePtr partial = stoppedUpload(bytePattern(3 * 64 * 1024, 2), dir, 64 * 1024);
    const DiskFilePtr orphan = stoppedUpload(bytePattern(3 * 64 * 1024, 3), dir, 64 * 1024);
    ASSERT_TRUE(partial && orphan);
    ASSERT_TRUE(QFile::remove(blobPath(orphan->file_id())));
    ASSERT_TRUE(QFile::remove(blobPath(complete->file_id())));

    const std::shared_ptr<DiskStore> reopened = DiskStore::open(storeDir.path(), &clock);
    ASSERT_TRUE(reopened);
    QList<QVariantList> rows;
    ASSERT_TRUE(reopened->db().queryValues(&rows, "SELECT file_id FROM files ORDER BY file_id"));
    QStringList ids;
    for (const QVariantList& row : rows)
        ids.append(row.value(0).toString());
    QStringList expected{complete->file_id(), partial->file_id()};
    expected.sort();
    EXPECT_EQ(ids, expected);
}

TEST_F(DiskDurabilityTest, FreeSpaceIsTheSmallerOfTheQuotaAndTheDisk)
{
    ASSERT_TRUE(signIn());
    const DiskDirPtr dir = signIn();
    ASSERT_TRUE(uploadBytes(bytePattern(1000), "a.bin", dir));
    // Other programs write to the same disk meanwhile: its free space is
    // compared with some slack.
    const qint64 slack = 64 << 20;
    DiskStoreAccount account;
    ASSERT_EQ(store->queryAccount(login->sessionKey(), &account), 0);
    EXPECT_EQ(account.usedSpace, 1000);
    qint64 diskFree = QStorageInfo(storeDir.path()).bytesAvailable();
    EXPECT_LE(account.totalSpace, DiskStore::kDefaultTotalSpace);
    EXPECT_NEAR(double(account.totalSpace), double(std::min(DiskStore::kDefaultTotalSpace, 1000 + diskFree)),
                double(slack));

    // A quota far past the disk: the disk is what is left.
    ASSERT_TRUE(store->db().executeSql("UPDATE accounts SET total_space = ?", {qint64(1) << 60}));
    ASSERT_EQ(store->queryAccount(login->sessionKey(), &account), 0);
    diskFree = QStorageInfo(storeDir.path()).bytesAvailable();
    EXPECT_NEAR(double(account.totalSpace), double(1000 + diskFree), double(slack));
    DiskStoreFile out;
    // Past what is left by more than the slack, as other programs may free
    // some meanwhile.
    EXPECT_EQ(store->registerFile(login->sessionKey(), dir->dir_key(), "huge.bin", account.totalSpace + slack,
                                  QString(), QString(), &out),
              -507);
    EXPECT_EQ(blobs().size(), 1);
}

// A store opened over an index that was damaged while closed.
class DamagedIndexTest : public ::testing::Test {
protected:
    static void capture(QtMsgType, const QMessageLogContext&, const QString& text)
    {
        if (text.startsWith("disk store:"))
            s_log.append(text);
    }

    void SetUp() override
    {
        s_log.clear();
        std::shared_ptr<DiskStore> store = DiskStore::open(dir.path());
        ASSERT_TRUE(store);
        ASSERT_EQ(store->accounts().login("10001", "pw", {}).result, 0);
        ASSERT_TRUE(ImageFixtures::writeFile(dir.path() + "/blobs/kept-blob", "stored bytes"));
    }

    // Opens the store again, collecting what it logs.
    std::shared_ptr<DiskStore> reopen()
    {
        const QtMessageHandler previous = qInstallMessageHandler(&DamagedIndexTest::capture);
        std::shared_ptr<DiskStore> store = DiskStore::open(dir.path());
        qInstallMessageHandler(previous);
        return store;
    }

    QStringList aside() const { return QDir(dir.path()).entryList({"index.db.damaged-*"}, QDir::Files); }

    QTemporaryDir dir;
    static inline QStringList s_log;
};

TEST_F(DamagedIndexTest, AnIndexThatIsNoDatabaseIsMovedAsideAndSignInWorksAgain)
{
    const QByteArray garbage = QByteArray("not an index at all ").repeated(300);
    ASSERT_TRUE(ImageFixtures::writeFile(dir.path() + "/index.db", garbage));
    std::shared_ptr<DiskStore> store = reopen();
    ASSERT_TRUE(store);
    ASSERT_EQ(aside().size(), 1);
    EXPECT_EQ(ImageFixtures::readFile(dir.path() + "/" + aside().first()), garbage);
    ASSERT_EQ(s_log.size(), 1);
    EXPECT_TRUE(s_log.first().contains("is damaged")) << s_log.first().toStdString();
    EXPECT_TRUE(s_log.first().contains(aside().first()));
    // A fresh start: the account is made anew; the blobs stay.
    EXPECT_EQ(store->accounts().login("10001", "other", {}).result, 0);
    EXPECT_EQ(ImageFixtures::readFile(dir.path() + "/blobs/kept-blob"), "stored bytes");

    // A sound index is opened as it is, without a word.
    store.reset();
    s_log.clear();
    ASSERT_TRUE(reopen());
    EXPECT_EQ(aside().size(), 1);
    EXPECT_TRUE(s_log.isEmpty());
}

TEST_F(DamagedIndexTest, AnIndexWithADamagedPageIsMovedAside)
{
    // The third page holds a table of the index: overwritten whole.
    QFile index(dir.path() + "/index.db");
    ASSERT_TRUE(index.open(QIODevice::ReadWrite));
    ASSERT_GT(index.size(), 4 * 4096);
    ASSERT_TRUE(index.seek(2 * 4096));
    ASSERT_EQ(index.write(QByteArray(4096, '\xff')), 4096);
    index.close();

    std::shared_ptr<DiskStore> store = reopen();
    ASSERT_TRUE(store);
    EXPECT_EQ(aside().size(), 1);
    EXPECT_EQ(store->accounts().login("10001", "pw", {}).result, 0);
    EXPECT_EQ(ImageFixtures::readFile(dir.path() + "/blobs/kept-blob"), "stored bytes");
}

}
