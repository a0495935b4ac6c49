#include "DeviceBatchFixture.h"

#include "Public/PavToastView_iPad.h"
#include "albums/device/DiskBackupUploader.h"
#include "platform/photolib/PhotoLibrary.h"
#include "support/TempDiskStore.h"

namespace {

// The backup over the cloud-disk facade and a local disk store.
class DiskUploadTest : public DeviceBatchFixture {
protected:
    DiskUploadTest() { PhotoLibrary::setShared(library); }
    ~DiskUploadTest() override
    {
        batches.reset();
        diskUploader.reset();
        disk.manager.reset();
        PhotoLibrary::setShared(nullptr);
    }

    // Signs in, makes the album folder the target, and selects n photos of
    // the library for a backup over the disk; returns the folder.
    DiskDirPtr prepareBackup(int n)
    {
        const DiskDirPtr folder = disk.signIn();
        cloud.setCloudAlbumDir(folder);
        selectPhotos(n);
        for (const ALAssetPtr& a : selection)
            library->add(a->asset());
        diskUploader = std::make_shared<DiskBackupUploader>(disk.manager.get());
        uploaderInUse = diskUploader;
        makeBatches(0);
        return folder;
    }

    TempDiskStore disk;
    std::shared_ptr<DiskBackupUploader> diskUploader;
};

TEST_F(DiskUploadTest, TheSelectedPhotosArriveWholeInTheCloudAlbumFolder)
{
    const DiskDirPtr folder = prepareBackup(2);
    ASSERT_TRUE(folder);
    batches->backupButtonClicked();
    ASSERT_TRUE(waitFinished());
    ASSERT_TRUE(PavToastView_iPad::showing());
    EXPECT_EQ(PavToastView_iPad::showing()->message(), "2张照片备份成功！");
    const QList<DiskFilePtr> files = disk.filesIn(folder);
    ASSERT_EQ(files.size(), 2);
    QStringList names;
    qint64 bytes = 0;
    for (const DiskFilePtr& f : files) {
        names << f->file_name();
        EXPECT_EQ(f->file_cur_size(), f->file_size());
        bytes += f->file_size();
    }
    EXPECT_EQ(quint64(bytes), batches->totalSizeOfSelectedAssets());
    names.sort();
    EXPECT_EQ(names, (QStringList{"20260305090807001.JPG", "20260305090807002.JPG"}));
}

// The disk stopped knowing the sign-in key: each upload fails, the backup
// ends in its failure alert, and the album stays signed in (only the cloud
// album's own screen signs out on it).
TEST_F(DiskUploadTest, ALapsedSignInFailsTheBackupAndLeavesTheAlbumSignedIn)
{
    const DiskDirPtr folder = prepareBackup(2);
    ASSERT_TRUE(folder);
    cloud.setIsLogined(true);
    disk.login->setSessionKey("lapsed-key");
    batches->backupButtonClicked();
    ASSERT_TRUE(waitFinished());
    EXPECT_EQ(shownAlertMessage(104), "备份失败，请稍候重试！");
    EXPECT_TRUE(cloud.isLogined());
    EXPECT_EQ(cloud.cloudAlbumDir(), folder);
    EXPECT_TRUE(disk.filesIn(folder).isEmpty());
}

TEST_F(DiskUploadTest, APhotoGoneFromTheLibraryFailsAndTheBatchGoesOn)
{
    const DiskDirPtr folder = disk.signIn();
    ASSERT_TRUE(folder);
    diskUploader = std::make_shared<DiskBackupUploader>(disk.manager.get());
    selectPhotos(1);   // never added to the library
    bool answered = false;
    bool result = true;
    CloudBackupUploader::Callbacks callbacks;
    callbacks.done = [&](bool ok) { answered = true, result = ok; };
    diskUploader->upload(selection[0]->url(), "x.JPG", folder, callbacks);
    EXPECT_TRUE(answered);
    EXPECT_FALSE(result);
    EXPECT_TRUE(disk.filesIn(folder).isEmpty());
}

}
