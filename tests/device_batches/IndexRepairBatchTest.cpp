#include "DeviceBatchFixture.h"

#include "Public/PavEncryptManager.h"
#include "albums/store/AlbumIndexRepair.h"
#include "platform/ui/ChoiceDialog.h"
#include "support/EventLoop.h"
#include "support/HeldIndex.h"
#include "support/ImageFixtures.h"

namespace {

// A move into the private album started while a large album's index is
// still being healed behind the screen (the heal held by the test).
class IndexRepairBatchTest : public DeviceBatchFixture {
protected:
    QString photoDir() const { return home.documents() + "/photo"; }

    // Item files without a row, named so the heal looks at them in this
    // order; then a store that heals behind and holds its first rows.
    HeldIndex* plantAndHealBehind(const std::vector<QByteArray>& items)
    {
        store.reset();
        for (size_t i = 0; i < items.size(); ++i) {
            const QString uuid = QStringLiteral("%1-0000-4000-8000-000000000000").arg(i, 8, 10, QChar('0'));
            EXPECT_TRUE(PavEncryptManager::writeData(items[i], photoDir() + "/" + uuid));
        }
        std::unique_ptr<HeldIndex> index = HeldIndex::open(photoDir() + "/photo");
        HeldIndex* held = index.get();
        store = std::make_unique<PavPhotoManager>(photoDir(), library, std::move(index), nullptr,
                                                  PavPhotoManager::IndexRepair::Behind);
        EXPECT_TRUE(waitUntil([&] { return held->holding(); }));
        return held;
    }

    int itemsHolding(const QByteArray& bytes) const
    {
        int count = 0;
        for (const PavPhotoModelPtr& row : store->photoes())
            count += PavEncryptManager::readDataFromPath(store->getPhotoFullPath(*row)) == bytes;
        return count;
    }
};

}

TEST_F(IndexRepairBatchTest, AWindowClosedWhileAMoveInWaitsForTheHealStoresNothingTwice)
{
    // A full first commit of other items, then the library's photo last: the
    // heal stops before it gets to it.
    const QByteArray photo = ImageFixtures::jpeg(64, 48, 99);
    const QString url = "assets-library://asset/asset.JPG?id=last&ext=JPG";
    std::vector<QByteArray> items;
    for (int i = 0; i < AlbumIndexRepair::kRowsPerCommit; ++i)
        items.push_back(ImageFixtures::jpeg(40, 30, i));
    items.push_back(photo);
    HeldIndex* held = plantAndHealBehind(items);

    makeBatches(0);
    selection << wrap(FakePhotoAsset::make(url, photo));
    batches->lockButtonClicked();
    ASSERT_TRUE(waitUntil([&] { return batches->encryptRunner().isItemWaiting(); }));

    // The close, in the application's order: the batch stops before its next
    // item, the exit stops the heal and waits for it, the screens go.
    batches->encryptRunner().requestStop(BatchStopReason::Background);
    store->requestStop();
    held->release();
    store->stopIndexRepair();
    batches.reset();
    EXPECT_TRUE(store->encryptAlbumOp()->recordsWithURL(url).isEmpty());
    store.reset();

    // The next start finishes the heal: the photo is there once.
    store = std::make_unique<PavPhotoManager>(photoDir(), library);
    EXPECT_EQ(store->photoes().size(), qsizetype(items.size()));
    EXPECT_EQ(itemsHolding(photo), 1);
}

TEST_F(IndexRepairBatchTest, AMoveInWaitingForTheHealLongerThanTheWatchdogCountsEveryStoredPhoto)
{
    HeldIndex* held = plantAndHealBehind({ImageFixtures::jpeg(40, 30, 7)});
    makeBatches(0);
    BatchRunner& runner = batches->encryptRunner();
    runner.setWatchdogMs(250);
    selectPhotos(3);
    batches->lockButtonClicked();
    ASSERT_TRUE(waitUntil([&] { return runner.isItemWaiting(); }));

    // Four watchdogs' worth of waiting fails nothing.
    spinEvents(1000);
    EXPECT_EQ(runner.counts().done, 0u);
    EXPECT_TRUE(runner.isItemWaiting());

    held->release();
    ASSERT_TRUE(waitFinished());
    EXPECT_EQ(runner.counts(), (BatchCounts{3, 3, 3, 0}));
    EXPECT_EQ(storedCount(), 4);
    ui::ChoiceDialog* notice = ui::ChoiceDialog::showingWithTag(100);
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->message(), "照片已成功导入隐私相册，请你手动删除iPad系统相册的原始照片。");
}

TEST_F(IndexRepairBatchTest, AMoveInCancelledWhileItWaitsForTheHealEndsAtOnceAndStoresNothing)
{
    HeldIndex* held = plantAndHealBehind({ImageFixtures::jpeg(40, 30, 7)});
    makeBatches(0);
    BatchRunner& runner = batches->encryptRunner();
    selectPhotos(2);
    batches->lockButtonClicked();
    ASSERT_TRUE(waitUntil([&] { return runner.isItemWaiting(); }));

    // The panel's cancel ends the batch while the heal is still held.
    ASSERT_TRUE(batches->processingView());
    batches->photosProcessingViewCancelButtonClicked(batches->processingView());
    EXPECT_TRUE(waitFinished());
    EXPECT_FALSE(runner.isRunning());
    EXPECT_TRUE(held->holding());

    // Once the heal is over, the cancelled photos were not stored after all.
    held->release();
    ASSERT_TRUE(waitUntil([&] { return !store->isRepairingIndex() && !runner.isRunning(); }));
    batches.reset();   // joins the batch's worker
    EXPECT_EQ(storedCount(), 1);
}
