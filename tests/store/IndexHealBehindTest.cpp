#include "StoreTestBase.h"

#include "Public/PavEncryptManager.h"
#include "Public/SqliteDBManager.h"
#include "albums/store/AlbumIndexRepair.h"
#include "support/EventLoop.h"
#include "support/HeldIndex.h"
#include "support/ImageFixtures.h"

#include <QDir>
#include <QFile>

#include <chrono>
#include <future>

namespace {

using namespace std::chrono_literals;

// The heal that runs behind the first call of the shared store: the store
// answers nothing from a half-healed index off the main thread, and never
// holds the main thread.
class IndexHealBehindTest : public StoreTestBase {};

// An index that asks the heal to stop once its first batch of rows is in,
// as a store going away does.
class StoppingIndex : public DBOEncryptAlbumOp {
public:
    StoppingIndex(std::unique_ptr<SqliteDBManager> engine, std::atomic<bool>* stop)
        : DBOEncryptAlbumOp(std::move(engine)), m_stop(stop) {}
    bool insertRecords(const PavPhotoModelList& models) override
    {
        const bool done = DBOEncryptAlbumOp::insertRecords(models);
        m_stop->store(true);
        return done;
    }

private:
    std::atomic<bool>* m_stop;
};

}

TEST_F(IndexHealBehindTest, OperationsWaitForTheWholeIndexAndPictureBombsComeBackAsPhotos)
{
    // A photo whose row was lost, and two PNGs claiming ten billion pixels
    // each that never had one.
    ASSERT_TRUE(m_store->encryptAsset(*jpegAsset("assets-library://asset/asset.JPG?id=lost&ext=JPG", 1)));
    ASSERT_TRUE(m_store->deleteRecord(*m_store->photoes().value(0)));
    m_store.reset();
    const QByteArray bomb = ImageFixtures::bilevelPng(100000, Qt::red);
    for (int i = 0; i < 2; ++i)
        ASSERT_TRUE(PavEncryptManager::writeData(bomb, photoDir() + "/" + PavPhotoModel::createFileUUID()));

    std::unique_ptr<HeldIndex> index = HeldIndex::open(photoDir() + "/photo");
    HeldIndex* held = index.get();
    m_store = std::make_unique<PavPhotoManager>(photoDir(), m_library, std::move(index), nullptr,
                                                PavPhotoManager::IndexRepair::Behind);
    ASSERT_TRUE(m_store->isRepairingIndex());
    // Every item looked at; its rows wait to go in.
    ASSERT_TRUE(waitUntil([&] { return held->holding(); }));
    EXPECT_EQ(m_store->restoredItemCount(), 3);

    std::future<PavPhotoModelList> listed = std::async(std::launch::async, [this] { return m_store->photoes(); });
    std::future<bool> stored = std::async(std::launch::async, [this] {
        return m_store->encryptAsset(*jpegAsset("assets-library://asset/asset.JPG?id=new&ext=JPG", 2));
    });
    EXPECT_EQ(listed.wait_for(200ms), std::future_status::timeout);
    EXPECT_EQ(stored.wait_for(0ms), std::future_status::timeout);
    EXPECT_TRUE(m_store->photoes().isEmpty());  // the main thread is answered at once
    EXPECT_TRUE(m_store->isRepairingIndex());

    held->release();
    EXPECT_GE(listed.get().size(), 3);  // the new photo may have gone in first
    EXPECT_TRUE(stored.get());
    EXPECT_FALSE(m_store->isRepairingIndex());
    const PavPhotoModelList all = m_store->photoes();
    ASSERT_EQ(all.size(), 4);
    for (const PavPhotoModelPtr& item : all) {
        EXPECT_EQ(item->photoType(), PavPhotoModel::Photo);
        EXPECT_TRUE(m_store->hasItemFiles(*item));
        EXPECT_EQ(PavPhotoManager::decryptPhotoWithFullPath(m_store->getPhotoFullPath(*item) + ".thumb").size(),
                  QSize(150, 150));
    }
    EXPECT_TRUE(QDir(photoDir() + "/Quarantine").entryList(QDir::Files).isEmpty());
}

TEST_F(IndexHealBehindTest, AStoppedHealKeepsWhatItCommittedAndTakesNoFileItDidNotLookAtForAStray)
{
    // More items without a row than go in at once, and one stray thumbnail.
    const int items = AlbumIndexRepair::kRowsPerCommit + 4;
    for (int i = 0; i < items; ++i)
        ASSERT_TRUE(m_store->encryptImage(ImageFixtures::pattern(40, 30, i)));
    m_store.reset();
    for (const char* name : {"photo", "photo-wal", "photo-shm"})
        QFile::remove(photoDir() + "/" + name);
    const QString stray = PavPhotoModel::createFileUUID() + ".thumb";
    ASSERT_TRUE(PavEncryptManager::writeData(ImageFixtures::jpeg(40, 30), photoDir() + "/" + stray));
    const QStringList files = itemFiles();
    const QString quarantine = photoDir() + "/Quarantine";

    DBOEncryptAlbumOp::initWithFilePath(photoDir() + "/photo").reset();
    std::atomic<bool> stop{false};
    std::atomic<int> restored{0};
    StoppingIndex index(SqliteDBManager::initWithFilePath(photoDir() + "/photo"), &stop);
    const AlbumIndexRepair::Result first =
        AlbumIndexRepair(photoDir(), index, quarantine, 150, {&stop, &restored}).run();
    EXPECT_EQ(first.rebuilt, AlbumIndexRepair::kRowsPerCommit);
    EXPECT_EQ(restored, AlbumIndexRepair::kRowsPerCommit);
    EXPECT_EQ(first.movedAside, 0);
    EXPECT_EQ(itemFiles().join(' ').toStdString(), files.join(' ').toStdString());

    // The next start finishes it.
    m_store = std::make_unique<PavPhotoManager>(photoDir(), m_library);
    EXPECT_EQ(rowCount(), items);
    EXPECT_EQ(QDir(quarantine).entryList(QDir::Files).join(' ').toStdString(), stray.toStdString());
}

TEST_F(IndexHealBehindTest, AStopEndsTheWaitsForTheHealAtOnceAndNothingIsStoredAfterIt)
{
    ASSERT_TRUE(m_store->encryptAsset(*jpegAsset("assets-library://asset/asset.JPG?id=lost&ext=JPG", 1)));
    ASSERT_TRUE(m_store->deleteRecord(*m_store->photoes().value(0)));
    m_store.reset();
    std::unique_ptr<HeldIndex> index = HeldIndex::open(photoDir() + "/photo");
    HeldIndex* held = index.get();
    m_store = std::make_unique<PavPhotoManager>(photoDir(), m_library, std::move(index), nullptr,
                                                PavPhotoManager::IndexRepair::Behind);
    ASSERT_TRUE(waitUntil([&] { return held->holding(); }));

    const auto lost = jpegAsset("assets-library://asset/asset.JPG?id=lost&ext=JPG", 1);
    std::future<bool> found = std::async(std::launch::async, [&] { return m_store->isEncrypted(*lost); });
    std::future<bool> stored = std::async(std::launch::async, [&] { return m_store->encryptAsset(*lost); });
    std::future<PavPhotoModelList> listed = std::async(std::launch::async, [this] { return m_store->photoes(); });
    EXPECT_EQ(listed.wait_for(200ms), std::future_status::timeout);

    // Answered while the heal is still held: none of them from its half.
    m_store->requestStop();
    EXPECT_FALSE(found.get());
    EXPECT_FALSE(stored.get());
    EXPECT_TRUE(listed.get().isEmpty());
    EXPECT_FALSE(m_store->encryptImage(ImageFixtures::pattern(40, 30, 2)));
    EXPECT_FALSE(m_store->encryptAsset(*jpegAsset("assets-library://asset/asset.JPG?id=new&ext=JPG", 2)));
    held->release();
    m_store->stopIndexRepair();
    EXPECT_EQ(itemFiles().size(), 2);  // the lost item and its thumbnail

    m_store = std::make_unique<PavPhotoManager>(photoDir(), m_library);
    EXPECT_EQ(rowCount(), 1);
    EXPECT_TRUE(m_store->isEncrypted(*lost));
}
