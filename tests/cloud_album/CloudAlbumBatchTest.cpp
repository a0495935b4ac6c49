#include "CloudAlbumFixture.h"

#include "albums/batch/PavPhotosProcessingView_iPad.h"
#include "albums/cloud/CloudAlbumBatches.h"
#include "platform/ui/ChoiceDialog.h"
#include "platform/ui/ImageButton.h"
#include "support/EventLoop.h"
#include "support/ImageFixtures.h"

#include <algorithm>

namespace {

bool recorded(const std::vector<int>& usage, int id)
{
    return std::find(usage.begin(), usage.end(), id) != usage.end();
}

ui::ChoiceDialog* dialogWithTag(int tag)
{
    waitUntil([tag] { return ui::ChoiceDialog::showingWithTag(tag) != nullptr; });
    return ui::ChoiceDialog::showingWithTag(tag);
}

QString lastDialogMessage()
{
    const QList<ui::ChoiceDialog*> shown = ui::ChoiceDialog::showing();
    return shown.isEmpty() ? QString() : shown.last()->message();
}

class CloudAlbumBatchTest : public CloudAlbumFixture {
protected:
    // Three photos listed, two chosen in edit mode.
    void prepare()
    {
        signIn();
        originals = {ImageFixtures::withExif(ImageFixtures::jpeg(80, 60, 1), "2020:01:02 03:04:05",
                                             "2020:01:02 03:04:05", "2020:01:02 03:04:05"),
                     ImageFixtures::encode(ImageFixtures::pattern(70, 50, 2), "PNG"),
                     ImageFixtures::jpeg(60, 40, 3)};
        ASSERT_TRUE(upload(originals[0], "one.jpg"));
        ASSERT_TRUE(upload(originals[1], "two.png"));
        ASSERT_TRUE(upload(originals[2], "three.jpg"));
        show();
        ASSERT_TRUE(listed(3));
        screen->editButtonClicked();
        choose({"one.jpg", "two.png"});
        ASSERT_EQ(screen->selectedPhotos().size(), 2);
        QObject::connect(&screen->batches(), &CloudAlbumBatches::batchFinished, [this] { ++finished; });
    }
    bool batchEnded() { return waitUntil([this] { return finished > 0; }, 10000); }

    QList<QByteArray> originals;
    int finished = 0;
};

}

TEST_F(CloudAlbumBatchTest, SaveWritesTheOriginalBytesIntoTheLibrary)
{
    prepare();
    // The batch keeps the order of choosing (the grid shows newest first).
    screen->batches().saveButtonClicked();
    ASSERT_TRUE(batchEnded());
    const QList<FakePhotoLibrary::Saved> saved = library->saved();
    ASSERT_EQ(saved.size(), 2);
    EXPECT_EQ(saved[0].bytes, originals[1]);
    EXPECT_EQ(saved[0].ext, "PNG");
    EXPECT_EQ(saved[1].bytes, originals[0]);
    EXPECT_EQ(saved[1].ext, "JPG");
    const auto& notice = screen->batches().lastNotice();
    ASSERT_TRUE(notice.has_value());
    EXPECT_EQ(notice->message, QString::fromUtf8("2张照片保存成功！"));
    EXPECT_TRUE(recorded(usage, 27145));
    EXPECT_FALSE(screen->isEditing());
    EXPECT_EQ(screen->batches().processingView(), nullptr);
}

TEST_F(CloudAlbumBatchTest, SaveAsksOnCellularAndRefusesWithoutNetwork)
{
    prepare();
    network = 0;
    screen->batches().saveButtonClicked();
    EXPECT_EQ(lastDialogMessage(), QString::fromUtf8("网络连接错误，请检查网络。"));
    closeDialogs();
    network = 1;
    screen->batches().saveButtonClicked();
    ui::ChoiceDialog* ask = dialogWithTag(101);
    ASSERT_TRUE(ask);
    EXPECT_TRUE(ask->message().startsWith(QString::fromUtf8("当前网络为普通网络，保存选中图片约耗")));
    EXPECT_FALSE(screen->batches().isRunning());
    ask->clickButtonAtIndex(1);
    ASSERT_TRUE(batchEnded());
    EXPECT_EQ(library->saved().size(), 2);
}

TEST_F(CloudAlbumBatchTest, SaveFailureWithoutNetworkShowsOnlyTheNetworkAlert)
{
    prepare();
    // The first photo is gone from the disk and the network is down.
    ASSERT_EQ(disk.store->deleteFile(disk.login->sessionKey(), screen->selectedPhotos()[0]->file_id()), DiskStoreRet::kOk);
    screen->batches().startSave();
    network = 0;
    ASSERT_TRUE(batchEnded());
    EXPECT_EQ(screen->batches().runner(CloudAlbumBatches::Kind::Save).stopReason(), BatchStopReason::NetworkLost);
    EXPECT_TRUE(library->saved().isEmpty());
    EXPECT_EQ(screen->batches().lastNotice()->message, QString::fromUtf8("网络连接错误，请检查网络。"));
    EXPECT_FALSE(recorded(usage, 27145));
}

TEST_F(CloudAlbumBatchTest, CancelledSaveEndsSilentlyWithinItsGrace)
{
    prepare();
    library->setSaveMode(FakePhotoLibrary::SaveMode::NeverAnswer);
    screen->batches().startSave();
    PavPhotosProcessingView_iPad* panel = screen->batches().processingView();
    ASSERT_TRUE(panel);
    // The first photo is downloaded and handed to the library, which stays silent.
    ASSERT_TRUE(waitUntil([panel] { return panel->progress() == 1.f; }));
    panel->cancelButtonClicked();
    ASSERT_TRUE(batchEnded());
    EXPECT_EQ(screen->batches().runner(CloudAlbumBatches::Kind::Save).stopReason(), BatchStopReason::User);
    EXPECT_EQ(screen->batches().lastNotice()->kind, CloudBatchNotice::Kind::None);
    EXPECT_EQ(screen->batches().runner(CloudAlbumBatches::Kind::Save).counts().done, 0u);
    EXPECT_FALSE(album->needCancelDownload());
}

TEST_F(CloudAlbumBatchTest, DeleteConfirmsThenDeletesAndListsAgain)
{
    prepare();
    screen->batches().deleteButtonClicked();
    ui::ChoiceDialog* ask = dialogWithTag(100);
    ASSERT_TRUE(ask);
    EXPECT_EQ(ask->message(), QString::fromUtf8("确定要删除照片？"));
    ask->clickButtonAtIndex(1);
    ASSERT_TRUE(batchEnded());
    EXPECT_EQ(screen->batches().lastNotice()->message, QString::fromUtf8("2张照片删除成功！"));
    EXPECT_FALSE(recorded(usage, 27145));
    ASSERT_TRUE(listed(1));
    EXPECT_EQ(screen->listing().filesList()[0].file->file_name(), "three.jpg");
}
