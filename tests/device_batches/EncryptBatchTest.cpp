#include "DeviceBatchFixture.h"

#include "Public/PavAlertView.h"
#include "Public/PavToastView_iPad.h"
#include "albums/batch/PavPhotosProcessingView_iPad.h"
#include "platform/photolib/KyAssetsLibrary.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/ChoiceDialog.h"
#include "support/EventLoop.h"
#include "support/Screenshot.h"

#include <QLabel>

namespace {

const QString kHideKey = "LocalAlbumEncryptSuccessHideAlert";

class EncryptBatchTest : public DeviceBatchFixture {};

TEST_F(EncryptBatchTest, StoresEveryPhotoAndTheNoticeTurnsIntoAToastAfterDontTellMeAgain)
{
    makeBatches(0);
    selectPhotos(3);
    batches->lockButtonClicked();
    ASSERT_TRUE(batches->processingView());
    EXPECT_EQ(batches->processingView()->tag(), 50);
    EXPECT_TRUE(idle.isHeld());
    ASSERT_TRUE(waitFinished(1));
    EXPECT_EQ(storedCount(), 3);
    EXPECT_FALSE(batches->processingView());
    EXPECT_FALSE(idle.isHeld());
    EXPECT_EQ(leaveEditCalls, 1);
    EXPECT_EQ(events, std::vector<int>{27107});

    // First notice: one button, and the key now reads NO.
    ui::ChoiceDialog* first = ui::ChoiceDialog::showingWithTag(100);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->message(), "照片已成功导入隐私相册，请你手动删除iPad系统相册的原始照片。");
    EXPECT_EQ(first->numberOfButtons(), 1);
    EXPECT_FALSE(qobject_cast<PavAlertView*>(first)) << "the album tab's first notice is a plain alert";
    ASSERT_TRUE(UserDefaults::standardUserDefaults().contains(kHideKey));
    EXPECT_FALSE(UserDefaults::standardUserDefaults().boolForKey(kHideKey));
    first->clickButtonAtIndex(0);

    // Second: the same notice with "不再提示" at index 1.
    selection.clear();
    selectPhotos(2, 10);
    batches->lockButtonClicked();
    ASSERT_TRUE(waitFinished(2));
    ui::ChoiceDialog* second = ui::ChoiceDialog::showingWithTag(101);
    ASSERT_TRUE(second);
    ASSERT_EQ(second->numberOfButtons(), 2);
    EXPECT_EQ(second->buttonTitleAtIndex(1), "不再提示");
    second->clickButtonAtIndex(1);
    EXPECT_TRUE(UserDefaults::standardUserDefaults().boolForKey(kHideKey));

    // Later moves: only the toast.
    selection.clear();
    selectPhotos(2, 20);
    batches->lockButtonClicked();
    ASSERT_TRUE(waitFinished(3));
    EXPECT_TRUE(ui::ChoiceDialog::showing().isEmpty());
    ASSERT_TRUE(PavToastView_iPad::showing());
    EXPECT_EQ(PavToastView_iPad::showing()->message(), "2张照片加密成功！");
    EXPECT_EQ(storedCount(), 7);
}

// The panel stays up with its last count drawn before the notice; a cancel
// tapped meanwhile is too late to count as one.
TEST_F(EncryptBatchTest, TheEndOfAMoveShowsItsLastCountBeforeThePanelGoes)
{
    makeBatches(0);
    selectPhotos(3);
    batches->lockButtonClicked();
    PavPhotosProcessingView_iPad* panel = nullptr;
    ASSERT_TRUE(waitUntil([&] {
        panel = batches->processingView();
        return panel && panel->isVisible() && panel->progressLabel()->text() == QStringLiteral("(3/3)");
    }));
    panel->cancelButtonClicked();
    EXPECT_TRUE(batches->isRunning());
    ASSERT_TRUE(waitFinished(1));
    EXPECT_EQ(storedCount(), 3);
    EXPECT_FALSE(batches->processingView());
    EXPECT_TRUE(ui::ChoiceDialog::showingWithTag(100)) << "not taken for a cancelled move";
}

TEST_F(EncryptBatchTest, TheNoticeWaitsBehindTheAlertThatIsUpAndShowsAfterIt)
{
    makeBatches(0);
    selectPhotos(2);
    // The lock screen's alert after the first password, still up when the
    // move it led to ends.
    auto* passwordSet = new PavAlertView("", "密码设置成功，请牢记你的密码！", nullptr, "知道了");
    passwordSet->show(canvas.get());
    batches->lockButtonClicked();
    ASSERT_TRUE(waitFinished(1));
    spinEvents(50);
    EXPECT_EQ(ui::ChoiceDialog::showing(), (QList<ui::ChoiceDialog*>{passwordSet})) << "one alert at a time";

    passwordSet->clickButtonAtIndex(0);
    ASSERT_TRUE(waitUntil([] { return ui::ChoiceDialog::showingWithTag(100) != nullptr; }));
    EXPECT_EQ(ui::ChoiceDialog::showing().size(), 1);
    EXPECT_EQ(shownAlertMessage(100), "照片已成功导入隐私相册，请你手动删除iPad系统相册的原始照片。");
}

TEST_F(EncryptBatchTest, APhotoAlreadyInThePrivateAlbumCountsAsSuccessAndIsNotStoredTwice)
{
    UserDefaults::standardUserDefaults().setBool(kHideKey, true);
    makeBatches(0);
    selectPhotos(3);
    ASSERT_TRUE(store->encryptAsset(*selection[0]->asset()));
    // The second one's row was lost and rebuilt from its item files, without
    // its URL: its bytes still make it stored.
    ASSERT_TRUE(store->encryptAsset(*selection[1]->asset()));
    const PavPhotoModelList second = store->encryptAlbumOp()->recordsWithURL(selection[1]->asset()->url());
    ASSERT_EQ(second.size(), 1);
    ASSERT_TRUE(store->deleteRecord(*second.first()));
    store->healIndex();
    ASSERT_EQ(storedCount(), 2);
    batches->lockButtonClicked();
    ASSERT_TRUE(waitFinished());
    EXPECT_EQ(storedCount(), 3);
    EXPECT_EQ(store->encryptAlbumOp()->recordsWithURL(selection[1]->asset()->url()).size(), 1);
    ASSERT_TRUE(PavToastView_iPad::showing());
    EXPECT_EQ(PavToastView_iPad::showing()->message(), "3张照片加密成功！");
}

TEST_F(EncryptBatchTest, AFailedPhotoIsSummedUpAndTheOthersAreStored)
{
    makeBatches(0);
    selectPhotos(2);
    auto broken = FakePhotoAsset::make("assets-library://asset/asset.JPG?id=bad&ext=JPG", "not an image");
    selection << wrap(broken);
    batches->lockButtonClicked();
    ASSERT_TRUE(waitFinished(1));
    EXPECT_EQ(shownAlertMessage(102), "2张照片加密成功，1张照片加密失败，请稍候重试！");
    EXPECT_FALSE(UserDefaults::standardUserDefaults().contains(kHideKey)) << "a move with failures keeps the key absent";
    EXPECT_EQ(storedCount(), 2);
}

TEST_F(EncryptBatchTest, CancelLetsThePhotoInHandFinishShowsNothingAndClosesAPicker)
{
    makeBatches(1);
    auto gated = selectGated(1);
    selectPhotos(2);
    batches->lockButtonClicked();
    ASSERT_TRUE(waitUntil([&] { return gated->entered(); }));
    // A second tap while it runs starts nothing.
    batches->lockButtonClicked();
    batches->processingView()->cancelButtonClicked();
    EXPECT_TRUE(store->needEncryptionCancel());
    gated->open();
    ASSERT_TRUE(waitFinished());
    EXPECT_EQ(storedCount(), 1) << "the photo in hand is stored, no later one";
    EXPECT_TRUE(ui::ChoiceDialog::showing().isEmpty());
    EXPECT_FALSE(PavToastView_iPad::showing());
    EXPECT_FALSE(store->needEncryptionCancel());
    EXPECT_EQ(leaveEditCalls, 0) << "a picker does not leave edit mode, it closes";
    EXPECT_TRUE(waitUntil([&] { return stack->count() == 1; })) << "the picker closed itself";
}

// A library change while the first of three photos is being stored: the
// batch stops and the two left count as failures.
TEST_F(EncryptBatchTest, ALibraryChangeStopsTheBatchAndCountsTheRestAsFailures)
{
    const std::vector<std::function<void()>> stops = {
        [this] { center.post("ALAssetsLibraryChangedNotification"); },
        // What the screen does on a library change.
        [this] { store->setNeedEncryptionCancel(true); },
    };
    for (size_t i = 0; i < stops.size(); ++i) {
        SCOPED_TRACE(i);
        if (!batches)
            makeBatches(0);
        selection.clear();
        auto gated = selectGated(int(i));
        selectPhotos(2, 10 * int(i));
        batches->lockButtonClicked();
        ASSERT_TRUE(waitUntil([&] { return gated->entered(); }));
        stops[i]();
        gated->open();
        ASSERT_TRUE(waitFinished(int(i) + 1));
        EXPECT_EQ(storedCount(), int(i) + 1);
        EXPECT_EQ(shownAlertMessage(102),
                  "1张照片加密成功，2张照片加密失败，请稍候重试！");
        ui::ChoiceDialog::showingWithTag(102)->clickButtonAtIndex(0);
        EXPECT_FALSE(store->needEncryptionCancel()) << "cleared at the end";
    }
}

TEST_F(EncryptBatchTest, WithoutAPasswordTheLockSheetComesFirstAndTheMoveFollowsIt)
{
    passwordExists = false;
    makeBatches(0);
    selectPhotos(2);
    batches->lockButtonClicked();
    EXPECT_EQ(lockScreensMade, 1);
    EXPECT_TRUE(screen->presentedScreen());
    EXPECT_FALSE(batches->isRunning());

    passwordExists = true;
    lockDelegate->secretAlbumPasswordControllerDidSetPassword(nullptr);
    ASSERT_TRUE(waitFinished());
    EXPECT_FALSE(screen->presentedScreen());
    EXPECT_EQ(storedCount(), 2);
    EXPECT_EQ(events, (std::vector<int>{27107, 27107}));
}

TEST_F(EncryptBatchTest, APrivatePickerShowsItsFirstNoticeAsAnAlbumAlertAndClosesAfterIt)
{
    makeBatches(1);
    selectPhotos(1);
    batches->lockButtonClicked();
    ASSERT_TRUE(waitFinished());
    ui::ChoiceDialog* notice = ui::ChoiceDialog::showingWithTag(100);
    ASSERT_TRUE(notice);
    EXPECT_TRUE(qobject_cast<PavAlertView*>(notice));
    EXPECT_EQ(stack->count(), 2) << "the picker waits for the answer";
    notice->clickButtonAtIndex(0);
    EXPECT_TRUE(waitUntil([&] { return stack->count() == 1; }));
}

// The user's stop is on the batch before the store's flag rises, so the
// worker never reads that flag as a change of the library.
TEST_F(EncryptBatchTest, AUserCancelIsOnTheBatchBeforeTheStoreFlagRises)
{
    makeBatches(0);
    auto gated = selectGated(1);
    selectPhotos(2);
    batches->lockButtonClicked();
    ASSERT_TRUE(waitUntil([&] { return gated->entered(); }));
    batches->processingView()->cancelButtonClicked();
    EXPECT_EQ(stopWhenFlagRaised, std::vector<BatchStopReason>{BatchStopReason::User});
    EXPECT_TRUE(store->needEncryptionCancel());
    gated->open();
    ASSERT_TRUE(waitFinished());
    EXPECT_EQ(storedCount(), 1);
    EXPECT_TRUE(ui::ChoiceDialog::showing().isEmpty()) << "a user stop shows no summary";
}

// Failure summaries and the later notices are plain alerts: they stay when
// the application goes to the background.
TEST_F(EncryptBatchTest, FailureAndLaterNoticesArePlainAlertsThatOutlastTheBackground)
{
    UserDefaults::standardUserDefaults().setBool(kHideKey, false);
    for (int useType : {0, 1}) {
        SCOPED_TRACE(useType);
        batches.reset();
        selection.clear();
        makeBatches(useType);
        selectPhotos(1, 40 + useType);
        batches->lockButtonClicked();
        ASSERT_TRUE(waitUntil([&] { return ui::ChoiceDialog::showingWithTag(DeviceBatchNotice::kEncryptNoticeTag); }));
        selection << wrap(FakePhotoAsset::make(QString("assets-library://asset/asset.JPG?id=bad%1&ext=JPG").arg(useType),
                                               "not an image"));
        selection.removeFirst();
        const int done = finishedCount;
        batches->lockButtonClicked();
        ASSERT_TRUE(waitFinished(done + 1));
        // One alert at a time: the later notice shows, the failure waits its
        // turn; each stays through the background.
        for (int tag : {DeviceBatchNotice::kEncryptNoticeTag, DeviceBatchNotice::kEncryptFailureTag}) {
            ASSERT_TRUE(waitUntil([&] { return ui::ChoiceDialog::showingWithTag(tag); })) << tag;
            ui::ChoiceDialog* shown = ui::ChoiceDialog::showingWithTag(tag);
            EXPECT_FALSE(qobject_cast<PavAlertView*>(shown));
            NotificationCenter::defaultCenter().post("ApplicationDidEnterBackgroundNotification");
            spinEvents(20);
            EXPECT_TRUE(shown->isShowing());
            shown->clickButtonAtIndex(0);
        }
        spinEvents(20);
    }
}

TEST_F(EncryptBatchTest, ScreenshotOfAMoveInProgress)
{
    makeBatches(0);
    selectPhotos(1);
    auto gated = selectGated(2);
    selectPhotos(2, 5);
    batches->lockButtonClicked();
    ASSERT_TRUE(waitUntil([&] { return gated->entered(); }));
    ASSERT_TRUE(waitUntil([&] { return batches->processingView()->completedCount() == 1; }));
    spinEvents(50);
    EXPECT_FALSE(saveScreenshot(canvas.get(), "device_batch_encrypt_progress.png").isEmpty());
    gated->open();
    ASSERT_TRUE(waitFinished());
}

}
