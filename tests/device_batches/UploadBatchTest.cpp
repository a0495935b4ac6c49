#include "DeviceBatchFixture.h"

#include "Public/PavAlertView.h"
#include "Public/PavToastView_iPad.h"
#include "platform/ui/ChoiceDialog.h"
#include "platform/ui/ModalHost.h"
#include "support/EventLoop.h"
#include "support/PanelAtClose.h"
#include "support/Screenshot.h"

#include <QLabel>

namespace {

class UploadBatchTest : public DeviceBatchFixture {};

TEST_F(UploadBatchTest, UploadsEachPhotoUnderItsOwnNameIntoTheCloudAlbumFolder)
{
    makeBatches(0);
    selectPhotos(2);
    batches->backupButtonClicked();
    ASSERT_TRUE(batches->processingView());
    EXPECT_EQ(batches->processingView()->tag(), 51);
    ASSERT_TRUE(waitFinished());
    ASSERT_EQ(uploader->calls.size(), 2u);
    // The batch's local start time, a three-digit counter and the URL's extension.
    EXPECT_EQ(uploader->calls[0].fileName, "20260305090807001.JPG");
    EXPECT_EQ(uploader->calls[1].fileName, "20260305090807002.JPG");
    EXPECT_EQ(uploader->calls[0].source, selection[0]->url());
    EXPECT_EQ(uploader->calls[0].dir, cloud.cloudAlbumDir());
    EXPECT_TRUE(cloud.isUpdated());
    ASSERT_TRUE(PavToastView_iPad::showing());
    EXPECT_EQ(PavToastView_iPad::showing()->message(), "2张照片备份成功！");
    EXPECT_EQ(events, (std::vector<int>{27129, 27130}));
    EXPECT_EQ(leaveEditCalls, 1);
    EXPECT_FALSE(idle.isHeld());
}

TEST_F(UploadBatchTest, ACloudPickerUploadsIntoTheFolderOnScreenAndClosesAfterwards)
{
    auto shown = std::make_shared<DiskDir>("旅行", "trip-key", cloud.cloudAlbumDir());
    cloud.setCurrentDir(shown);
    makeBatches(2);
    selectPhotos(1);
    batches->backupButtonClicked();
    ASSERT_TRUE(waitFinished());
    ASSERT_EQ(uploader->calls.size(), 1u);
    EXPECT_EQ(uploader->calls[0].dir, shown);
    EXPECT_TRUE(waitUntil([&] { return stack->count() == 1; }));
}

TEST_F(UploadBatchTest, AFailureWithoutAnyNetworkStopsTheBatchWithOnlyTheNetworkAlert)
{
    uploader->mode = FakeUploader::Mode::Silent;
    makeBatches(0);
    selectPhotos(3);
    batches->backupButtonClicked();
    ASSERT_TRUE(waitUntil([&] { return uploader->calls.size() == 1; }));
    network = 0;
    uploader->pending.done(false);
    ASSERT_TRUE(waitFinished());
    EXPECT_EQ(uploader->calls.size(), 1u) << "no photo after the network went";
    ASSERT_EQ(ui::ChoiceDialog::showing().size(), 1);
    EXPECT_EQ(ui::ChoiceDialog::showing().first()->message(), "网络连接错误，请检查网络。");
    EXPECT_FALSE(ui::ChoiceDialog::showingWithTag(104));
}

TEST_F(UploadBatchTest, CancelDiscardsTheUploadInFlightAndEndsWithoutSummary)
{
    uploader->mode = FakeUploader::Mode::Silent;
    makeBatches(0);
    selectPhotos(3);
    batches->backupButtonClicked();
    ASSERT_TRUE(waitUntil([&] { return uploader->calls.size() == 1; }));
    batches->processingView()->cancelButtonClicked();
    EXPECT_EQ(uploader->cancels, 1);
    EXPECT_TRUE(cloud.needCancelUpload());
    EXPECT_EQ(stopWhenFlagRaised, std::vector<BatchStopReason>{BatchStopReason::User}) << "the stop before the flag";
    // A late answer of the stopped upload changes nothing.
    uploader->pending.done(false);
    ASSERT_TRUE(waitFinished());
    EXPECT_EQ(uploader->calls.size(), 1u);
    EXPECT_TRUE(ui::ChoiceDialog::showing().isEmpty());
    EXPECT_FALSE(PavToastView_iPad::showing());
    EXPECT_FALSE(cloud.needCancelUpload());
}

// An upload the watchdog gave up on is cancelled before the next photo's
// upload starts, and the last one before the summary.
TEST_F(UploadBatchTest, AnUploadFailedByTheWatchdogIsCancelledBeforeTheNextStarts)
{
    uploader->mode = FakeUploader::Mode::Silent;
    makeBatches(0);
    batches->uploadRunner().setWatchdogMs(50);
    selectPhotos(2);
    batches->backupButtonClicked();
    ASSERT_TRUE(waitFinished());
    EXPECT_EQ(uploader->log, (QStringList{"upload 20260305090807001.JPG", "cancel", "upload 20260305090807002.JPG",
                                          "cancel"}));
    EXPECT_EQ(shownAlertMessage(DeviceBatchNotice::kUploadFailureTag), "备份失败，请稍候重试！");
}

// The backup's failure summary and its pre-check alerts are plain alerts:
// they stay when the application goes to the background.
TEST_F(UploadBatchTest, FailureAndPreCheckAlertsArePlainAlertsThatOutlastTheBackground)
{
    const auto expectPlainThroughTheBackground = [](const QString& start) {
        ASSERT_TRUE(waitUntil([] { return ui::ChoiceDialog::topShowing(); }));
        ui::ChoiceDialog* shown = ui::ChoiceDialog::topShowing();
        EXPECT_TRUE(shown->message().startsWith(start)) << shown->message().toStdString();
        EXPECT_FALSE(qobject_cast<PavAlertView*>(shown)) << shown->message().toStdString();
        NotificationCenter::defaultCenter().post("ApplicationDidEnterBackgroundNotification");
        spinEvents(20);
        EXPECT_TRUE(shown->isShowing()) << shown->message().toStdString();
        shown->clickButtonAtIndex(shown->cancelButtonIndex() >= 0 ? shown->cancelButtonIndex() : 0);
        spinEvents(20);
    };
    uploader->mode = FakeUploader::Mode::Fail;
    makeBatches(0);
    selectPhotos(1);
    batches->backupButtonClicked();
    ASSERT_TRUE(waitFinished());
    expectPlainThroughTheBackground("备份失败，请稍候");
    network = 0;
    batches->backupButtonClicked();
    expectPlainThroughTheBackground("网络连接错误，请");
    network = 1;
    batches->backupButtonClicked();
    expectPlainThroughTheBackground("当前网络为普通网");
    network = 3;
    freeSpace = 0;
    batches->backupButtonClicked();
    expectPlainThroughTheBackground("云端存储空间已满");
}

TEST_F(UploadBatchTest, UploadIntoTheAccountTopOrWithoutFolderFailsAtOnceInsteadOfWaiting)
{
    cloud.setCloudAlbumDir(std::make_shared<DiskDir>("", "root-key"));
    makeBatches(0);
    selectPhotos(2);
    batches->backupButtonClicked();
    ASSERT_TRUE(waitFinished());
    EXPECT_TRUE(uploader->calls.empty());
    EXPECT_EQ(shownAlertMessage(104), "备份失败，请稍候重试！");
}

TEST_F(UploadBatchTest, TheGateAsksForSignInRoomAndNetworkBeforeAnythingStarts)
{
    makeBatches(0);
    selectPhotos(2);
    const quint64 size = batches->totalSizeOfSelectedAssets();
    ASSERT_GT(size, 0u);

    // Not signed in: the sign-in sheet, 50 points below a centred one; its
    // success asks again.
    cloud.setIsLogined(false);
    batches->backupButtonClicked();
    ASSERT_TRUE(screen->presentedScreen());
    ui::ModalHost* sheet = ui::ModalHost::presentedBy(screen);
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->contentFrame(), QRect(243, 241, 538, 385));
    EXPECT_EQ(screen->presentedScreen()->geometry(), QRect(0, 0, 538, 385));
    ASSERT_TRUE(loginSuccess);
    EXPECT_FALSE(batches->isRunning());
    cloud.setIsLogined(true);
    network = 0;
    loginSuccess();
    ASSERT_TRUE(waitUntil([&] { return !screen->presentedScreen(); }));
    ASSERT_TRUE(waitUntil([&] { return !ui::ChoiceDialog::showing().isEmpty(); }));
    EXPECT_EQ(ui::ChoiceDialog::showing().first()->message(), "网络连接错误，请检查网络。");
    ui::ChoiceDialog::showing().first()->clickButtonAtIndex(0);

    // No room.
    network = 3;
    freeSpace = qint64(size) - 1;
    batches->backupButtonClicked();
    ASSERT_EQ(ui::ChoiceDialog::showing().size(), 1);
    EXPECT_EQ(ui::ChoiceDialog::showing().first()->message(), "云端存储空间已满，无法完成备份。");
    ui::ChoiceDialog::showing().first()->clickButtonAtIndex(0);

    // Without Wi-Fi: asked every time; "取消" does nothing, "确定" starts.
    freeSpace = qint64(size);
    network = 1;
    batches->backupButtonClicked();
    ui::ChoiceDialog* ask = ui::ChoiceDialog::showingWithTag(110);
    ASSERT_TRUE(ask);
    EXPECT_TRUE(ask->message().startsWith("当前网络为普通网络，备份选中图片约耗"));
    EXPECT_EQ(ask->buttonTitleAtIndex(0), "取消");
    ask->clickButtonAtIndex(0);
    EXPECT_FALSE(batches->isRunning());
    batches->backupButtonClicked();
    ui::ChoiceDialog::showingWithTag(110)->clickButtonAtIndex(1);
    EXPECT_TRUE(batches->isRunning());
    ASSERT_TRUE(waitFinished());
    EXPECT_EQ(uploader->calls.size(), 2u);
}

TEST_F(UploadBatchTest, TheBarFollowsTheFileInFlightAndTheCounterTheBatch)
{
    uploader->mode = FakeUploader::Mode::Silent;
    makeBatches(0);
    selectPhotos(3);
    batches->backupButtonClicked();
    PavPhotosProcessingView_iPad* panel = batches->processingView();
    ASSERT_TRUE(panel);
    EXPECT_EQ(panel->progressLabel()->text(), "(0/3)");
    ASSERT_TRUE(waitUntil([&] { return uploader->calls.size() == 1; }));
    uploader->pending.done(true);
    ASSERT_TRUE(waitUntil([&] { return uploader->calls.size() == 2; }));
    EXPECT_EQ(panel->progressLabel()->text(), "(1/3)");
    EXPECT_FLOAT_EQ(panel->progress(), 0.f) << "a new file starts an empty bar";
    uploader->pending.progress(40.f);
    ASSERT_TRUE(waitUntil([&] { return panel->progress() > 0.f; }));
    EXPECT_FLOAT_EQ(panel->progress(), 0.4f);
    spinEvents(50);
    EXPECT_FALSE(saveScreenshot(canvas.get(), "device_batch_backup_progress.png").isEmpty());
    uploader->mode = FakeUploader::Mode::Succeed;
    uploader->pending.done(true);
    ASSERT_TRUE(waitFinished());
    EXPECT_EQ(uploader->calls.size(), 3u);
}

TEST_F(UploadBatchTest, TheLastCountIsShownOverAFullBar)
{
    makeBatches(0);
    selectPhotos(3);
    batches->backupButtonClicked();
    PavPhotosProcessingView_iPad* panel = batches->processingView();
    ASSERT_TRUE(panel);
    // What the panel shows as it goes: its last state, kept when it hides.
    PanelAtClose last(panel);
    ASSERT_TRUE(waitFinished());
    ASSERT_TRUE(last.seen);
    EXPECT_EQ(last.counter, "(3/3)");
    EXPECT_FLOAT_EQ(last.progress, 1.f);
    EXPECT_EQ(last.barWidth, 347);   // the whole track
    EXPECT_TRUE(last.picture.save(QStringLiteral(PAV_TEST_OUTPUT_DIR) + "/device_batch_backup_last_count.png"));
}

}
