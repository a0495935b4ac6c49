#include "albums/device/DeviceAlbumBatches.h"
#include "albums/device/PavSystemAlbumViewController_iPad.h"
#include "albums/widgets/ImageLoadPool.h"
#include "platform/photolib/KyAssetsLibrary.h"
#include "platform/ui/Animations.h"
#include "support/EventLoop.h"
#include "support/FakeAssetsLibrary.h"
#include "support/FakePhotoAsset.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace {

// The device album screen runs its own batches when nobody else is given:
// they see the screen's selection and its use.
TEST(ScreenWiringTest, TheScreensBatchesWorkOnItsSelection)
{
    TempHome home;
    ui::Animations::setEnabled(false);
    auto lib = std::make_shared<FakeAssetsLibrary>();
    const QDateTime when = QDateTime::currentDateTimeUtc();
    std::vector<PhotoAssetPtr> roll;
    for (int i = 0; i < 3; ++i) {
        roll.push_back(FakePhotoAsset::make(QString("assets-library://asset/asset.JPG?id=%1&ext=JPG").arg(i),
                                            QByteArray(100 * (i + 1), 'x'), PhotoAssetKind::Photo, when));
    }
    lib->setGroups({AssetsGroup{"Roll", AssetsGroupSavedPhotos, roll}});
    KyAssetsLibrary::shareAssetsLibrary().setLibrary(lib);
    PavAssetsManager reader([lib] { return lib; });
    NotificationCenter center;

    for (int useType : {0, 1, 2}) {
        SCOPED_TRACE(useType);
        PavSystemAlbumViewController_iPad::Collaborators c;
        c.reader = &reader;
        c.usage = [](int) {};
        c.center = &center;
        c.albumTabShown = [] { return true; };
        c.setCancelFlags = [](bool) {};
        auto screen = std::make_unique<PavSystemAlbumViewController_iPad>(useType, c);
        screen->resize(615, 748);
        screen->loadViewIfNeeded();
        screen->show();
        screen->beginAppearanceTransition(true, false);
        screen->endAppearanceTransition();
        ASSERT_TRUE(waitUntil([&] {
            reader.drain();
            return !screen->isUpdating() && screen->photoAssetsArray().size() == 3;
        }));
        spinEvents(30);
        ASSERT_TRUE(screen->batches());
        if (useType == 0)
            screen->editButtonClicked(EditBar::Entry::Lock);
        EXPECT_EQ(screen->batches()->totalSizeOfSelectedAssets(), 0u);
        for (const ALAssetPtr& a : screen->photoAssetsArray()) {
            a->setIsChecked(true);
            screen->systemAssetViewSelected(a);
        }
        EXPECT_EQ(screen->batches()->totalSizeOfSelectedAssets(), 600u);
        EXPECT_FALSE(screen->batches()->isRunning());
        ImageLoadPool::shared().waitForDone();
        spinEvents(10);
    }
    PavSystemAlbumViewController_iPad::Collaborators given;
    given.reader = &reader;
    given.center = &center;
    given.batchAction = [](EditBar::Entry) {};
    EXPECT_FALSE(PavSystemAlbumViewController_iPad(0, given).batches()) << "a given action replaces them";
    KyAssetsLibrary::shareAssetsLibrary().setLibrary(nullptr);
    ui::Animations::setEnabled(true);
}

}
