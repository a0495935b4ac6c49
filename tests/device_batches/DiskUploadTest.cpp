#include "DeviceBatchFixture.h"

#include "Public/PavToastView_iPad.h"
#include "albums/device/DiskBackupUploader.h"
#include "disk/DiskLoginModel.h"
#include "disk/DiskManager.h"
#include "disk/DiskStore.h"
#include "disk/ZEBConnectionAuthDelegate.h"
#include "platform/photolib/PhotoLibrary.h"
#include "support/EventLoop.h"

#include <QTemporaryDir>

namespace {

// Answers of the disk and the login model, in order.
struct Answers : DiskManagerDelegate, ZEBConnectionAuthDelegate {
    int loginResult(bool result, int) override { return signedIn = result, 0; }
    void loginNeedVerfy(const QString&, bool) override {}
    void fileDidQueryUserUserInfo(const DiskUserPtr& u) override { user = u; }
    void fileDidQueryDirListRootDir(const DiskDirPtr&, const QList<DiskFilePtr>&, const QList<DiskDirPtr>& d) override
    {
        dirs = d, listed = true;
    }
    void fileDidQueryDirListSuccess(const DiskDirPtr&, const QList<DiskFilePtr>& f, const QList<DiskDirPtr>&) override
    {
        files = f, listed = true;
    }
    std::optional<bool> signedIn;
    DiskUserPtr user;
    QList<DiskDirPtr> dirs;
    QList<DiskFilePtr> files;
    bool listed = false;
};

// The backup over the cloud-disk facade and a local disk store.
class DiskUploadTest : public DeviceBatchFixture {
protected:
    DiskUploadTest()
    {
        diskStore = DiskStore::open(storeDir.path(), &clock);
        login = std::make_unique<DiskLoginModel>([this] { return diskStore; });
        disk = std::make_unique<DiskManager>([this] { return diskStore; }, [this] { return login->sessionKey(); });
        PhotoLibrary::setShared(library);
    }
    ~DiskUploadTest() override
    {
        batches.reset();
        diskUploader.reset();
        disk.reset();
        PhotoLibrary::setShared(nullptr);
    }

    DiskDirPtr signIn()
    {
        Answers a;
        login->setDelegate(&a);
        login->loginWithUserName("10001", "secret");
        if (!waitUntil([&] { return a.signedIn.has_value(); }) || !*a.signedIn)
            return nullptr;
        disk->requestQueryUser(&a);
        if (!waitUntil([&] { return a.user != nullptr; }))
            return nullptr;
        disk->requestQueryDir(a.user->root_dir(), &a);
        if (!waitUntil([&] { return a.listed; }) || a.dirs.isEmpty())
            return nullptr;
        return a.dirs.first();
    }

    QList<DiskFilePtr> filesIn(const DiskDirPtr& dir)
    {
        Answers a;
        disk->requestQueryDir(dir, &a);
        waitUntil([&] { return a.listed; });
        return a.files;
    }

    QTemporaryDir storeDir;
    std::shared_ptr<DiskStore> diskStore;
    std::unique_ptr<DiskLoginModel> login;
    std::unique_ptr<DiskManager> disk;
    std::shared_ptr<DiskBackupUploader> diskUploader;
};

TEST_F(DiskUploadTest, TheSelectedPhotosArriveWholeInTheCloudAlbumFolder)
{
    const DiskDirPtr folder = signIn();
    ASSERT_TRUE(folder);
    cloud.setCloudAlbumDir(folder);
    selectPhotos(2);
    for (const ALAssetPtr& a : selection)
        library->add(a->asset());
    diskUploader = std::make_shared<DiskBackupUploader>(disk.get());
    uploaderInUse = diskUploader;
    makeBatches(0);
    batches->backupButtonClicked();
    ASSERT_TRUE(waitFinished());
    ASSERT_TRUE(PavToastView_iPad::showing());
    EXPECT_EQ(PavToastView_iPad::showing()->message(), "2张照片备份成功！");
    const QList<DiskFilePtr> files = filesIn(folder);
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

TEST_F(DiskUploadTest, APhotoGoneFromTheLibraryFailsAndTheBatchGoesOn)
{
    const DiskDirPtr folder = signIn();
    ASSERT_TRUE(folder);
    diskUploader = std::make_shared<DiskBackupUploader>(disk.get());
    selectPhotos(1);   // never added to the library
    bool answered = false;
    bool result = true;
    CloudBackupUploader::Callbacks callbacks;
    callbacks.done = [&](bool ok) { answered = true, result = ok; };
    diskUploader->upload(selection[0]->url(), "x.JPG", folder, callbacks);
    EXPECT_TRUE(answered);
    EXPECT_FALSE(result);
    EXPECT_TRUE(filesIn(folder).isEmpty());
}

}
