#include "CloudAlbumFixture.h"

#include "Public/SqliteDBManager.h"

#include "albums/batch/PavPhotosProcessingView_iPad.h"
#include "albums/cloud/CloudAlbumBatches.h"
#include "platform/media/ImageCodec.h"
#include "platform/ui/ChoiceDialog.h"
#include "platform/ui/ImageButton.h"
#include "support/EventLoop.h"
#include "support/ImageFixtures.h"
#include "support/PanelAtClose.h"

#include <QFile>
#include <QLabel>

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
    // Runs a batch after the disk stopped knowing the sign-in key (every
    // command answers -401): no summary, the sign-in is asked for.
    void runWithLapsedSignIn(CloudAlbumBatches::Kind kind)
    {
        prepare();
        saved->setUin("10001");
        saved->setPassword("secret");
        disk.login->setSessionKey("lapsed-key");
        if (kind == CloudAlbumBatches::Kind::Save)
            screen->batches().batchDownload();
        else
            screen->batches().batchDelete();
        ASSERT_TRUE(batchEnded());
        EXPECT_EQ(screen->batches().runner(kind).stopReason(), BatchStopReason::SignInLapsed);
        EXPECT_EQ(screen->batches().lastNotice()->kind, CloudBatchNotice::Kind::None);
        EXPECT_TRUE(ui::ChoiceDialog::showing().isEmpty());
        EXPECT_EQ(screen->batches().processingView(), nullptr);
        EXPECT_FALSE(screen->isEditing());
        EXPECT_EQ(loginSheets, 1);
        EXPECT_FALSE(album->isLogined());
        EXPECT_EQ(album->cloudAlbumDir(), nullptr);
        EXPECT_TRUE(saved->password().isEmpty());
        EXPECT_TRUE(screen->listing().isEmpty());
    }

    QList<QByteArray> originals;
    int finished = 0;
};

}

TEST_F(CloudAlbumBatchTest, SaveWritesTheOriginalBytesIntoTheLibrary)
{
    prepare();
    // The batch keeps the order of choosing (the grid shows newest first).
    screen->batches().saveButtonClicked();
    ASSERT_TRUE(screen->batches().processingView());
    PanelAtClose last(screen->batches().processingView());
    ASSERT_TRUE(batchEnded());
    // The last count is drawn before the panel goes, over the bar its photo filled.
    ASSERT_TRUE(last.seen);
    EXPECT_EQ(last.counter, QStringLiteral("(2/2)"));
    EXPECT_FLOAT_EQ(last.progress, 1.f);
    EXPECT_EQ(last.barWidth, 347);
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

// Damaged copies are failures whatever digest the disk keeps: a SHA-1, only
// an MD5, or none at all (then a picture the decoder reports damage in).
TEST_F(CloudAlbumBatchTest, SaveCountsDamagedPhotosAndANonPictureAsFailures)
{
    signIn();
    const QByteArray good = ImageFixtures::jpeg(80, 60, 1);
    ASSERT_TRUE(upload(good, "good.jpg"));
    const DiskFilePtr damaged = upload(ImageFixtures::jpeg(90, 70, 2), "damaged.jpg");
    const DiskFilePtr md5Only = upload(ImageFixtures::jpeg(90, 70, 3), "md5only.jpg");
    const DiskFilePtr noDigest = upload(ImageFixtures::jpeg(400, 300, 4), "nodigest.jpg");
    ASSERT_TRUE(damaged && md5Only && noDigest);
    ASSERT_TRUE(upload("plain text, named like a photo", "text.jpg"));
    ASSERT_TRUE(disk.store->db().executeSql("UPDATE files SET sha1 = NULL WHERE file_id = ?", {md5Only->file_id()}));
    ASSERT_TRUE(disk.store->db().executeSql("UPDATE files SET sha1 = NULL, md5 = NULL WHERE file_id = ?",
                                            {noDigest->file_id()}));
    // Each keeps its size: one byte flipped in the first, bits of the coded
    // picture data in the other two (one byte, then 200), which still decode.
    auto flip = [this](const DiskFilePtr& file, qint64 from, int count, int step) {
        QFile blob(disk.storeDir.path() + "/blobs/" + file->file_id());
        if (!blob.open(QIODevice::ReadWrite))
            return QByteArray();
        QByteArray bytes = blob.readAll();
        for (int i = 0, at = int(from); i < count; ++i, at += step) {
            while (uchar(bytes[at]) >= 0xfe)
                ++at;
            bytes[at] = char(bytes[at] ^ 0x01);
        }
        return blob.seek(0) && blob.write(bytes) == bytes.size() ? bytes : QByteArray();
    };
    ASSERT_FALSE(flip(damaged, 200, 1, 1).isEmpty());
    ASSERT_FALSE(ImageCodec::decodeScaled(flip(md5Only, md5Only->file_size() / 2, 1, 1), QSize(64, 64)).isNull());
    ASSERT_FALSE(
        ImageCodec::decodeScaled(flip(noDigest, noDigest->file_size() / 3, 200, 11), QSize(64, 64)).isNull());
    show();
    ASSERT_TRUE(listed(5));
    screen->editButtonClicked();
    choose({"good.jpg", "damaged.jpg", "md5only.jpg", "nodigest.jpg", "text.jpg"});
    QObject::connect(&screen->batches(), &CloudAlbumBatches::batchFinished, [this] { ++finished; });

    screen->batches().saveButtonClicked();
    ASSERT_TRUE(batchEnded());
    ASSERT_EQ(library->saved().size(), 1);
    EXPECT_EQ(library->saved().first().bytes, good);
    EXPECT_EQ(screen->batches().lastNotice()->message, QString::fromUtf8("1张照片保存成功，4张照片保存失败，请稍候重试！"));
    EXPECT_FALSE(recorded(usage, CloudBatchNotice::kSaveFinishedEvent));
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
    screen->batches().batchDownload();
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
    screen->batches().batchDownload();
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

TEST_F(CloudAlbumBatchTest, ASignInLapseEndsTheSaveBatchAndAsksForTheSignIn)
{
    runWithLapsedSignIn(CloudAlbumBatches::Kind::Save);
    EXPECT_TRUE(library->saved().isEmpty());
}

TEST_F(CloudAlbumBatchTest, ASignInLapseEndsTheDeleteBatchAndAsksForTheSignIn)
{
    runWithLapsedSignIn(CloudAlbumBatches::Kind::Delete);
    QList<DiskStoreDir> dirs;
    QList<DiskStoreFile> files;
    ASSERT_TRUE(disk.signIn());
    ASSERT_EQ(disk.store->listDir(disk.login->sessionKey(), albumDir->dir_key(), &dirs, &files), DiskStoreRet::kOk);
    EXPECT_EQ(files.size(), 3) << "nothing was deleted";
}
