#include "albums/store/PavAssetsManager.h"
#include "platform/photolib/KyAssetsLibrary.h"
#include "platform/core/MainThread.h"
#include "support/EventLoop.h"
#include "support/FakeAssetsLibrary.h"
#include "support/FakePhotoAsset.h"

#include <QObject>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

QDateTime day(int d, int h = 12) { return QDateTime(QDate(2024, 5, d), QTime(h, 0), Qt::UTC); }

using Kind = PhotoAssetKind;
PhotoAssetPtr photo(const QString& id, const QDateTime& t) { return FakePhotoAsset::withId(id, Kind::Photo, t); }
PhotoAssetPtr video(const QString& id, const QDateTime& t) { return FakePhotoAsset::withId(id, Kind::Video, t); }
PhotoAssetPtr other(const QString& id, const QDateTime& t) { return FakePhotoAsset::withId(id, Kind::Other, t); }

QString idOf(const ALAssetPtr& a) { return a ? a->url().section("id=", 1).section('&', 0, 0) : "nil"; }

class Recorder : public QObject, public PavAssetsManagerDelegate {
public:
    QStringList log;
    QList<ALAssetPtr> lastArray;
    bool allOnMain = true;

    void note(const QString& s)
    {
        allOnMain = allOnMain && MainThread::isMainThread();
        log << s;
    }
    void assetsManagerDidUpdateAssetsArray(const QList<ALAssetPtr>& assets, const QVariant& object) override
    {
        lastArray = assets;
        QStringList ids;
        for (const auto& a : assets)
            ids << idOf(a);
        note("array:" + ids.join(",") + ":" + object.toString());
    }
    void assetsManagerFailedUpdatingWithError(const AssetsLibraryError& e, const QVariant& object) override
    {
        note(QString("failed:%1:%2").arg(e.code).arg(object.toString()));
    }
    void assetsManagerDidCheckAssetsLibraryIsAvailable(bool ok, const QVariant& object) override
    {
        note(QString("available:%1:%2").arg(ok).arg(object.toString()));
    }
    void assetCountOfAssetsManager(unsigned n) override { note(QString("total:%1").arg(n)); }
    void photoCountOfAssetsManager(unsigned n) override { note(QString("photos:%1").arg(n)); }
    void videoCountOfAssetsManager(unsigned n) override { note(QString("videos:%1").arg(n)); }
    void firstPhotoOfAssetsManager(const ALAssetPtr& a) override { note("newest:" + idOf(a)); }
};

// Implements only the required message.
class Minimal : public QObject, public PavAssetsManagerDelegate {
public:
    int arrays = 0;
    void assetsManagerDidUpdateAssetsArray(const QList<ALAssetPtr>&, const QVariant&) override { ++arrays; }
};

class PavAssetsManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        lib = std::make_shared<FakeAssetsLibrary>();
        lib->setGroups({
            AssetsGroup{"Roll", AssetsGroupSavedPhotos,
                        {photo("p1", day(1)), video("v1", day(2)), other("o1", day(3)), photo("p2", day(4))}},
            AssetsGroup{"Trip", AssetsGroupAlbum, {photo("a1", day(9))}},
        });
        manager = std::make_unique<PavAssetsManager>([this] { return lib; });
    }
    void settle(Recorder& r, int count)
    {
        manager->drain();
        ASSERT_TRUE(waitUntil([&] { return r.log.size() >= count; }));
        spinEvents(20);
    }

    std::shared_ptr<FakeAssetsLibrary> lib;
    std::unique_ptr<PavAssetsManager> manager;
};

}

TEST_F(PavAssetsManagerTest, ListingAnswersInOrderPerKind)
{
    Recorder r;
    manager->updateWithAssetType(ALAsset::ALAssetTypePhoto, &r, "one");
    settle(r, 5);
    EXPECT_EQ(r.log, (QStringList{"array:p1,p2:one", "total:2", "photos:2", "videos:0", "newest:p2"}));
    EXPECT_TRUE(r.allOnMain);
    for (const ALAssetPtr& a : r.lastArray) {
        EXPECT_EQ(a->type(), ALAsset::ALAssetTypePhoto);
        EXPECT_TRUE(a->date().isValid());
        EXPECT_FALSE(a->isChecked());
    }

    r.log.clear();
    manager->updateWithAssetType(ALAsset::ALAssetTypeVideo, &r);
    settle(r, 5);
    EXPECT_EQ(r.log, (QStringList{"array:v1:", "total:1", "photos:0", "videos:1", "newest:nil"}));

    r.log.clear();
    manager->updateWithAssetType("ALAssetTypeAll", &r);
    settle(r, 5);
    // Every asset is enumerated, but only photos and videos enter the arrays.
    EXPECT_EQ(r.log, (QStringList{"array:p1,v1,p2:", "total:3", "photos:2", "videos:1", "newest:p2"}));
}

TEST_F(PavAssetsManagerTest, EmptyRollFailureAndAvailability)
{
    Recorder r;
    lib->setGroups({AssetsGroup{"Roll", AssetsGroupSavedPhotos, {}}});
    manager->updateWithAssetType(ALAsset::ALAssetTypePhoto, &r);
    settle(r, 5);
    EXPECT_EQ(r.log, (QStringList{"array::", "total:0", "photos:0", "videos:0", "newest:nil"}));

    r.log.clear();
    manager->checkAssetsLibrayIsAvailableWithDelegate(&r, 99);
    settle(r, 1);
    lib->setRefused(true);
    manager->updateWithAssetType(ALAsset::ALAssetTypePhoto, &r, "obj");
    manager->checkAssetsLibrayIsAvailableWithDelegate(&r, 99);
    manager->getAssetsLibraryInfoWithDelegate(&r, "info");
    settle(r, 4);
    EXPECT_EQ(r.log, (QStringList{"available:1:99", "failed:1:obj", "available:0:99", "failed:1:info"}));
}

TEST_F(PavAssetsManagerTest, OptionalMessagesMayBeMissing)
{
    Minimal m;
    manager->updateWithAssetType(ALAsset::ALAssetTypePhoto, &m);
    manager->checkAssetsLibrayIsAvailableWithDelegate(&m, 99);
    manager->drain();
    ASSERT_TRUE(waitUntil([&] { return m.arrays == 1; }));
    spinEvents(20);
    EXPECT_EQ(m.arrays, 1);
}

TEST_F(PavAssetsManagerTest, RequestsAreAnsweredInOrderAndAGoneDelegateGetsNothing)
{
    Recorder r;
    auto* gone = new Recorder;
    manager->updateWithAssetType(ALAsset::ALAssetTypePhoto, gone, "first");
    manager->updateWithAssetType(ALAsset::ALAssetTypeVideo, &r, "a");
    manager->updateWithAssetType(ALAsset::ALAssetTypePhoto, &r, "b");
    delete gone;  // a picker closed while its listing runs
    settle(r, 10);
    ASSERT_EQ(r.log.size(), 10);
    EXPECT_EQ(r.log[0], "array:v1:a");
    EXPECT_EQ(r.log[5], "array:p1,p2:b");
    EXPECT_EQ(lib->enumerations(), 3);
}

TEST_F(PavAssetsManagerTest, NewestPhotoSearchKeepsTheFirstOnEqualDates)
{
    lib->setGroups({
        AssetsGroup{"A", AssetsGroupSavedPhotos, {photo("a1", day(1)), photo("a2", day(5)), video("v", day(8))}},
        AssetsGroup{"B", AssetsGroupSavedPhotos, {photo("b1", day(5))}},
        AssetsGroup{"C", AssetsGroupSavedPhotos, {video("w", day(9))}},
    });
    Recorder r;
    manager->getAssetsLibraryInfoWithDelegate(&r, {});
    settle(r, 4);
    EXPECT_EQ(r.log, (QStringList{"photos:3", "videos:2", "total:5", "newest:a2"}));

    lib->setGroups({
        AssetsGroup{"A", AssetsGroupSavedPhotos, {photo("a1", day(1))}},
        AssetsGroup{"B", AssetsGroupSavedPhotos, {photo("b1", day(6))}},
    });
    r.log.clear();
    manager->updateWithAssetType(ALAsset::ALAssetTypePhoto, &r);
    settle(r, 5);
    EXPECT_EQ(r.log.last(), "newest:b1");  // the lasts of each group, newest first
}

TEST_F(PavAssetsManagerTest, BlockingReaderCachesUntilTheLibraryChanges)
{
    // Safe on the main thread: it enumerates right here.
    const auto roll = manager->getCameraRollPhotoArray();
    ASSERT_TRUE(roll);
    EXPECT_EQ(roll->size(), 2);
    const auto again = manager->getCameraRollPhotoArray();
    EXPECT_EQ(again->constData(), roll->constData());  // the same array between changes
    EXPECT_EQ(manager->getOtherPhotoArray()->size(), 1);
    EXPECT_EQ(lib->enumerations(), 2);

    // The library posts its change; the reader's caches empty.
    KyAssetsLibrary::shareAssetsLibrary().setLibrary(lib);
    lib->emitChanged();
    EXPECT_FALSE(manager->cameraRollPhotoArray());
    EXPECT_FALSE(manager->otherPhotoArray());
    const auto fresh = manager->getCameraRollPhotoArray();
    EXPECT_NE(fresh->constData(), roll->constData());
    EXPECT_NE(fresh->first(), roll->first());  // new asset objects, without old annotations
    EXPECT_EQ(lib->enumerations(), 3);
    KyAssetsLibrary::shareAssetsLibrary().setLibrary(nullptr);
}

TEST_F(PavAssetsManagerTest, FailedOrOvertakenFillsStoreNothing)
{
    lib->setRefused(true);
    EXPECT_FALSE(manager->getCameraRollPhotoArray());
    EXPECT_FALSE(manager->cameraRollPhotoArray());
    lib->setRefused(false);

    // The library changes while a worker fills the cache: the pre-change list
    // is handed out but not kept.
    lib->setOnEnumerate([this] { manager->expire(); });
    std::optional<QList<ALAssetPtr>> got;
    std::thread worker([&] { got = manager->getCameraRollPhotoArray(); });
    worker.join();
    ASSERT_TRUE(got);
    EXPECT_EQ(got->size(), 2);
    EXPECT_FALSE(manager->cameraRollPhotoArray());
    lib->setOnEnumerate({});
    EXPECT_TRUE(manager->getCameraRollPhotoArray());
    EXPECT_TRUE(manager->cameraRollPhotoArray());
}
