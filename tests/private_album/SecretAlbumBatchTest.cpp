#include "PrivateAlbumFixture.h"

#include "albums/private/SecretAlbumBatch.h"
#include "Public/PavEncryptManager.h"
#include "Public/SqliteDBManager.h"
#include "support/EventLoop.h"

#include <QFile>

#include <optional>

namespace {

class SecretAlbumBatchTest : public PrivateAlbumFixture {
protected:
    SecretAlbumBatchTest()
    {
        batch = std::make_unique<SecretAlbumBatch>(*store, idle);
        SecretAlbumBatch::Listener listener;
        listener.progressed = [this](SecretAlbumBatch::Kind, const BatchCounts& c) { progress.push_back(c); };
        listener.finished = [this](SecretAlbumBatch::Kind, const BatchOutcome& o) { outcome = o; };
        batch->setListener(std::move(listener));
    }
    bool finished() { return waitUntil([this] { return outcome.has_value(); }); }
    QStringList uuids(const PavPhotoModelList& list)
    {
        QStringList out;
        for (const auto& p : list)
            out << p->photoUUID();
        return out;
    }

    std::unique_ptr<SecretAlbumBatch> batch;
    std::vector<BatchCounts> progress;
    std::optional<BatchOutcome> outcome;
};

}

TEST_F(SecretAlbumBatchTest, MoveOutSavesTheOriginalBytesAndDeletesOnlyAfterTheSave)
{
    storePhotos(3);
    const PavPhotoModelList items = listed();
    ASSERT_EQ(items.size(), 3);
    const QByteArray original = PavPhotoManager::decryptPhotoToData(items[0]->photoPath());
    ASSERT_FALSE(original.isEmpty());

    ASSERT_TRUE(batch->start(SecretAlbumBatch::Kind::MoveOut, items));
    EXPECT_TRUE(idle.isHeld());
    ASSERT_TRUE(waitUntil([this] { return library->pending() == 1; }));
    // Until the library reports the save, the item stays in the album.
    spinEvents(20);
    EXPECT_EQ(listed().size(), 3);
    EXPECT_EQ(library->bytesOf(0), original);  // the stored bytes, not a new encoding

    library->setAutoAnswer(true);
    library->answer(true);
    ASSERT_TRUE(finished());
    EXPECT_EQ(outcome->kind(), BatchOutcome::Kind::Summary);
    EXPECT_EQ(outcome->counts().succeeded, 3u);
    EXPECT_TRUE(listed().isEmpty());
    EXPECT_EQ(library->requested(), 3);
    ASSERT_EQ(progress.size(), 3u);
    EXPECT_EQ(progress.back().done, 3u);
    EXPECT_FALSE(idle.isHeld());
    EXPECT_FALSE(store->needDecryptionCancel());
}

TEST_F(SecretAlbumBatchTest, AFailedSaveKeepsTheItemAndTheBatchGoesOn)
{
    storePhotos(3);
    const PavPhotoModelList items = listed();
    ASSERT_TRUE(batch->start(SecretAlbumBatch::Kind::MoveOut, items));
    ASSERT_TRUE(waitUntil([this] { return library->pending() == 1; }));
    library->answer(true);
    ASSERT_TRUE(waitUntil([this] { return library->requested() == 2 && library->pending() == 1; }));
    library->answer(false);
    ASSERT_TRUE(waitUntil([this] { return library->requested() == 3 && library->pending() == 1; }));
    library->answer(true);
    ASSERT_TRUE(finished());
    EXPECT_EQ(outcome->kind(), BatchOutcome::Kind::Summary);
    EXPECT_EQ(outcome->counts().succeeded, 2u);
    EXPECT_EQ(outcome->counts().failed, 1u);
    EXPECT_EQ(uuids(listed()), QStringList({items[1]->photoUUID()}));
    // The kept item is whole: it still deciphers.
    EXPECT_FALSE(PavPhotoManager::decryptPhotoToData(items[1]->photoPath()).isEmpty());
}

TEST_F(SecretAlbumBatchTest, AnItemThatDoesNotDecipherFailsWithoutStoppingTheBatch)
{
    storePhotos(2);
    const PavPhotoModelList items = listed();
    // The first item's full file is gone.
    ASSERT_TRUE(QFile::remove(store->getPhotoFullPath(*items[0])));
    library->setAutoAnswer(true);
    ASSERT_TRUE(batch->start(SecretAlbumBatch::Kind::MoveOut, items));
    ASSERT_TRUE(finished());
    EXPECT_EQ(outcome->counts().failed, 1u);
    EXPECT_EQ(outcome->counts().succeeded, 1u);
    EXPECT_EQ(library->requested(), 1);
}

TEST_F(SecretAlbumBatchTest, AnItemWhoseBytesAreNotAPictureFailsAndStays)
{
    storePhotos(2);
    const PavPhotoModelList items = listed();
    // The first item deciphers, but to bytes that are no picture.
    ASSERT_TRUE(PavEncryptManager::writeData(QByteArray(4096, 'x'), store->getPhotoFullPath(*items[0])));
    library->setAutoAnswer(true);
    ASSERT_TRUE(batch->start(SecretAlbumBatch::Kind::MoveOut, items));
    ASSERT_TRUE(finished());
    EXPECT_EQ(outcome->counts().failed, 1u);
    EXPECT_EQ(outcome->counts().succeeded, 1u);
    EXPECT_EQ(library->requested(), 1);  // nothing saved for it, not even as ".DAT"
    EXPECT_EQ(uuids(listed()), QStringList({items[0]->photoUUID()}));
    EXPECT_EQ(PavEncryptManager::readDataFromPath(store->getPhotoFullPath(*items[0])), QByteArray(4096, 'x'));
}

TEST_F(SecretAlbumBatchTest, DeleteBatchRemovesEveryChosenItem)
{
    storePhotos(4);
    const PavPhotoModelList all = listed();
    ASSERT_TRUE(batch->start(SecretAlbumBatch::Kind::Delete, {all[3], all[1]}));
    EXPECT_FALSE(batch->start(SecretAlbumBatch::Kind::MoveOut, {all[0]}));  // one batch at a time
    ASSERT_TRUE(finished());
    EXPECT_EQ(outcome->kind(), BatchOutcome::Kind::Summary);
    EXPECT_EQ(outcome->counts().succeeded, 2u);
    EXPECT_EQ(uuids(listed()), QStringList({all[0]->photoUUID(), all[2]->photoUUID()}));
    EXPECT_FALSE(QFile::exists(store->getPhotoFullPath(*all[3])));
    EXPECT_FALSE(batch->start(SecretAlbumBatch::Kind::Delete, {}));
}

TEST_F(SecretAlbumBatchTest, StopsEndWithoutSummaryAndFinishTheItemInFlight)
{
    for (BatchStopReason reason : {BatchStopReason::User, BatchStopReason::Background, BatchStopReason::Relock}) {
        SCOPED_TRACE(int(reason));
        storePhotos(3);
        const int before = int(listed().size());
        const int requestedBefore = library->requested();
        outcome.reset();
        ASSERT_TRUE(batch->start(SecretAlbumBatch::Kind::MoveOut, listed()));
        ASSERT_TRUE(waitUntil([&] { return library->requested() == requestedBefore + 1; }));
        batch->stop(reason);
        library->answer(true);  // the item in flight still completes, save then delete
        ASSERT_TRUE(finished());
        EXPECT_EQ(outcome->kind(), BatchOutcome::Kind::Silent);
        EXPECT_EQ(library->requested(), requestedBefore + 1);  // no later item started
        EXPECT_EQ(int(listed().size()), before - 1);
    }
}

TEST_F(SecretAlbumBatchTest, TheStoresCancelFlagStopsTheBatchAndIsClearedAtBothEnds)
{
    storePhotos(3);
    store->setNeedDeletionCancel(true);  // raised while nothing ran: no effect
    ASSERT_TRUE(batch->start(SecretAlbumBatch::Kind::Delete, listed()));
    ASSERT_TRUE(finished());
    EXPECT_EQ(outcome->counts().succeeded, 3u);

    storePhotos(3);
    outcome.reset();
    const PavPhotoModelList items = listed();
    ASSERT_TRUE(batch->start(SecretAlbumBatch::Kind::MoveOut, items));
    ASSERT_TRUE(waitUntil([this] { return library->pending() == 1; }));
    store->setNeedDecryptionCancel(true);  // the shell went to the background
    library->answer(true);  // the item in flight completes: saved, then deleted
    ASSERT_TRUE(finished());
    EXPECT_EQ(outcome->kind(), BatchOutcome::Kind::Silent);
    EXPECT_EQ(library->requested(), 1);  // the next item was never touched
    EXPECT_EQ(uuids(listed()), QStringList({items[1]->photoUUID(), items[2]->photoUUID()}));
    EXPECT_FALSE(store->needDecryptionCancel());
}

TEST_F(SecretAlbumBatchTest, TheDeleteFlagRaisedDuringAnItemStopsBeforeTheNext)
{
    storePhotos(3);
    const PavPhotoModelList items = listed();
    // The flag rises while the first item is being deleted.
    class FlaggingOp : public DBOEncryptAlbumOp {
    public:
        FlaggingOp(std::unique_ptr<SqliteDBManager> engine, PavPhotoManager** store)
            : DBOEncryptAlbumOp(std::move(engine)), m_store(store) {}
        bool deleteRecord(const PavPhotoModel& model) override
        {
            (*m_store)->setNeedDeletionCancel(true);
            return DBOEncryptAlbumOp::deleteRecord(model);
        }
        PavPhotoManager** m_store;
    };
    PavPhotoManager* self = nullptr;
    batch.reset();
    store = std::make_unique<PavPhotoManager>(
        store->photoDir(), library,
        std::make_unique<FlaggingOp>(SqliteDBManager::initWithFilePath(store->photoDir() + "/photo"), &self));
    self = store.get();
    batch = std::make_unique<SecretAlbumBatch>(*store, idle);
    SecretAlbumBatch::Listener listener;
    listener.finished = [this](SecretAlbumBatch::Kind, const BatchOutcome& o) { outcome = o; };
    batch->setListener(std::move(listener));

    ASSERT_TRUE(batch->start(SecretAlbumBatch::Kind::Delete, items));
    ASSERT_TRUE(finished());
    EXPECT_EQ(outcome->kind(), BatchOutcome::Kind::Silent);
    EXPECT_EQ(uuids(listed()), QStringList({items[1]->photoUUID(), items[2]->photoUUID()}));
}
