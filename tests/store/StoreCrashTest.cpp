#include "StoreTestBase.h"

#include "Public/PavEncryptManager.h"
#include "Public/SqliteDBManager.h"
#include "support/ImageFixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <csignal>

namespace {

class StoreCrashTest : public StoreTestBase {
protected:
    // Every row's item has both files, and they decipher.
    void expectEveryRowHasItsFiles(PavPhotoManager& store)
    {
        const PavPhotoModelList items = store.photoes();
        ASSERT_FALSE(items.isEmpty());
        for (const PavPhotoModelPtr& item : items) {
            EXPECT_FALSE(PavEncryptManager::readDataFromPath(store.getPhotoFullPath(*item)).isEmpty());
            EXPECT_FALSE(PavEncryptManager::readDataFromPath(store.getPhotoFullPath(*item) + ".thumb").isEmpty());
        }
    }
    // Stores `stored` photos in a child process and kills it with SIGKILL
    // once the next one's files are written and its row is not: the uuid of
    // that item in *stalled.
    void killAStoreBeforeItsRow(int stored, QString* stalled)
    {
        QProcess child;
        child.start(PAV_TEST_BIN_DIR "/store_import_child", {photoDir(), QString::number(stored)});
        ASSERT_TRUE(child.waitForStarted(10000));
        QByteArray output;
        while (!output.contains("stalled") && child.state() == QProcess::Running) {
            child.waitForReadyRead(60000);
            output += child.readAllStandardOutput();
        }
        ASSERT_TRUE(output.contains("stalled")) << output.constData();
        ::kill(pid_t(child.processId()), SIGKILL);
        ASSERT_TRUE(child.waitForFinished(10000));
        EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
        *stalled = QString::fromUtf8(output.mid(output.indexOf("stalled ") + 8).trimmed());
    }
};

TEST_F(StoreCrashTest, AKillMidImportLeavesNoRowWithoutFilesAndTheNextStartRebuildsItsRow)
{
    m_store.reset();
    ASSERT_TRUE(ImageFixtures::writeFile(photoDir() + "/uid", "password file"));
    constexpr int kStored = 3;

    QString stalled;
    ASSERT_NO_FATAL_FAILURE(killAStoreBeforeItsRow(kStored, &stalled));

    // Before any sweep: the killed item's files are there, without a row.
    auto op = DBOEncryptAlbumOp::initWithFilePath(photoDir() + "/photo");
    QSet<QString> rows;
    ASSERT_TRUE(op->photoUUIDs(&rows));
    EXPECT_EQ(rows.size(), kStored);
    EXPECT_FALSE(rows.contains(stalled));
    EXPECT_TRUE(QFile::exists(photoDir() + "/" + stalled));
    EXPECT_TRUE(QFile::exists(photoDir() + "/" + stalled + ".thumb"));
    op.reset();

    // The next start gives the stored photo its row back and touches nothing else.
    m_store = std::make_unique<PavPhotoManager>(photoDir(), m_library);
    EXPECT_EQ(rowCount(), kStored + 1);
    EXPECT_EQ(itemFiles().size(), 2 * (kStored + 1));
    EXPECT_FALSE(QDir(photoDir() + "/Quarantine").exists());
    EXPECT_EQ(ImageFixtures::readFile(photoDir() + "/uid"), "password file");
    expectEveryRowHasItsFiles(*m_store);
}

// A kill after an item's files were written but before its row leaves a
// complete item that the next start rebuilds without its library URL. The
// photo, still in the library, is matched to it by its bytes: it counts as
// stored, and the row carries its URL from then on. A photo of the same
// length with other bytes is not taken for it.
TEST_F(StoreCrashTest, APhotoWhoseStoreWasKilledBeforeItsRowIsNotStoredTwiceAfterwards)
{
    m_store.reset();
    constexpr int kStored = 2;
    QString stalled;
    ASSERT_NO_FATAL_FAILURE(killAStoreBeforeItsRow(kStored, &stalled));

    m_store = std::make_unique<PavPhotoManager>(photoDir(), m_library);
    const QString url = QString("assets-library://asset/asset.JPG?id=%1&ext=JPG").arg(kStored);
    const QByteArray bytes = ImageFixtures::jpeg(800, 600, kStored);
    // Same length, one byte of the picture data changed: another photo.
    QByteArray otherBytes = bytes;
    otherBytes[otherBytes.size() / 2] = char(otherBytes[otherBytes.size() / 2] ^ 0x01);
    const auto other = FakePhotoAsset::make("assets-library://asset/asset.JPG?id=other&ext=JPG", otherBytes);
    EXPECT_FALSE(m_store->isEncrypted(*other));
    EXPECT_TRUE(m_store->encryptAlbumOp()->recordsWithURL(other->url()).isEmpty());

    // The same photo the killed store was taking, chosen again after a restart.
    const auto again = FakePhotoAsset::make(url, bytes);
    EXPECT_TRUE(m_store->isEncrypted(*again));
    EXPECT_EQ(rowCount(), kStored + 1);
    const PavPhotoModelList claimed = m_store->encryptAlbumOp()->recordsWithURL(url);
    ASSERT_EQ(claimed.size(), 1);
    EXPECT_EQ(claimed.first()->photoUUID(), stalled);
    // The other photo still is not stored, now that the row is claimed, and
    // the answer holds across a restart (the URL is in the index).
    EXPECT_FALSE(m_store->isEncrypted(*other));
    m_store = std::make_unique<PavPhotoManager>(photoDir(), m_library);
    EXPECT_TRUE(m_store->isEncrypted(*again));
    EXPECT_EQ(rowCount(), kStored + 1);
}

TEST_F(StoreCrashTest, WhatHoldsNoPictureGoesAsideTemporaryWritesGoAndOtherNamesStay)
{
    ASSERT_TRUE(m_store->encryptAsset(*jpegAsset("kept")));
    const PavPhotoModelPtr kept = m_store->photoes().first();
    const QString orphan = PavPhotoModel::createFileUUID();
    const QString lower = PavPhotoModel::createFileUUID().toLower();
    const QStringList aside = {orphan, orphan + ".thumb", lower};
    const QStringList temporary = {kept->photoUUID() + ".123.abc.pavtmp", orphan + ".thumb.99.ff.pavtmp"};
    const QStringList untouched = {"uid", "uid.1.2.pavtmp", "notes.txt", orphan + ".jpg", "ABC"};
    for (const QString& name : aside + temporary + untouched)
        ASSERT_TRUE(ImageFixtures::writeFile(photoDir() + "/" + name, "x " + name.toUtf8()));
    // A file of that name already waits in the quarantine: neither is lost.
    ASSERT_TRUE(QDir().mkpath(photoDir() + "/Quarantine"));
    ASSERT_TRUE(ImageFixtures::writeFile(photoDir() + "/Quarantine/" + orphan, "earlier"));
    m_store.reset();

    m_store = std::make_unique<PavPhotoManager>(photoDir(), m_library);
    for (const QString& name : aside) {
        EXPECT_FALSE(QFile::exists(photoDir() + "/" + name)) << name.toStdString();
        const QString moved = photoDir() + "/Quarantine/" + name + (name == orphan ? ".1" : "");
        EXPECT_EQ(ImageFixtures::readFile(moved), "x " + name.toUtf8()) << name.toStdString();
    }
    EXPECT_EQ(ImageFixtures::readFile(photoDir() + "/Quarantine/" + orphan), "earlier");
    for (const QString& name : temporary)
        EXPECT_FALSE(QFile::exists(photoDir() + "/" + name)) << name.toStdString();
    for (const QString& name : untouched)
        EXPECT_TRUE(QFile::exists(photoDir() + "/" + name)) << name.toStdString();
    EXPECT_EQ(rowCount(), 1);
    expectEveryRowHasItsFiles(*m_store);
    EXPECT_EQ(m_store->healIndex(), 0);
}

TEST_F(StoreCrashTest, ARebuildKilledHalfwayKeepsWhatItDidAndTheNextStartFinishesIt)
{
    constexpr int kItems = 64;
    QSet<QString> uuids;
    for (int i = 0; i < kItems; ++i)
        ASSERT_TRUE(m_store->encryptAsset(*jpegAsset(QString("assets-library://asset/asset.JPG?id=%1&ext=JPG").arg(i), i)));
    for (const PavPhotoModelPtr& item : m_store->photoes())
        uuids.insert(item->photoUUID());
    m_store.reset();
    // The index lost every row: the next start looks through every item.
    for (const char* log : {"/photo-wal", "/photo-shm"})
        QFile::remove(photoDir() + log);
    ASSERT_TRUE(ImageFixtures::writeFile(photoDir() + "/photo", {}));

    const auto committedRows = [this] {
        auto db = SqliteDBManager::initWithFilePath(photoDir() + "/photo");
        QList<QVariantList> rows;
        if (!db || !db->queryValues(&rows, "SELECT count(*) FROM photoes") || rows.isEmpty())
            return 0;
        return rows.first().value(0).toInt();
    };
    QProcess child;
    child.start(PAV_TEST_BIN_DIR "/store_import_child", {photoDir(), "open"});
    ASSERT_TRUE(child.waitForStarted(10000));
    int seen = 0;
    while (child.state() == QProcess::Running && (seen = committedRows()) == 0)
        child.waitForFinished(5);
    // Killed as a user kills a start that seems to hang.
    ::kill(pid_t(child.processId()), SIGKILL);
    ASSERT_TRUE(child.waitForFinished(10000));
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit) << "the rebuild kept nothing until it had finished";
    EXPECT_GT(seen, 0);
    EXPECT_LT(seen, kItems);

    // The next start rebuilds the rest: each item once, nothing aside.
    m_store = std::make_unique<PavPhotoManager>(photoDir(), m_library);
    QSet<QString> rebuilt;
    for (const PavPhotoModelPtr& item : m_store->photoes())
        rebuilt.insert(item->photoUUID());
    EXPECT_EQ(rowCount(), kItems);
    EXPECT_EQ(rebuilt, uuids);
    EXPECT_FALSE(QDir(photoDir() + "/Quarantine").exists());
    expectEveryRowHasItsFiles(*m_store);
}

TEST_F(StoreCrashTest, NothingIsSweptWhenTheIndexCannotBeRead)
{
    class BlindOp : public DBOEncryptAlbumOp {
    public:
        using DBOEncryptAlbumOp::DBOEncryptAlbumOp;
        bool photoUUIDs(QSet<QString>*) override { return false; }
    };
    const QString orphan = photoDir() + "/" + PavPhotoModel::createFileUUID();
    ASSERT_TRUE(ImageFixtures::writeFile(orphan, "x"));
    PavPhotoManager store(photoDir(), m_library,
                          std::make_unique<BlindOp>(SqliteDBManager::initWithFilePath(photoDir() + "/photo")));
    EXPECT_TRUE(QFile::exists(orphan));
}

}
