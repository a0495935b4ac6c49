#include "CloudAlbumFixture.h"

#include "Public/SqliteDBManager.h"
#include "albums/batch/PavPhotosProcessingView_iPad.h"
#include "albums/cloud/CloudCameraUpload.h"
#include "albums/container/PavAlbumContainerController_iPad.h"
#include "disk/DiskFile.h"
#include "platform/core/AppLifecycle.h"
#include "platform/ui/NavigationStack.h"
#include "platform/ui/ChoiceDialog.h"
#include "support/EventLoop.h"
#include "support/ImageFixtures.h"

#include <QDir>
#include <QFile>
#include <QSemaphore>

#include <cerrno>

namespace {

// Photos taken with the camera, uploaded into the album folder (or not).
class CloudCameraUploadTest : public CloudAlbumFixture {
protected:
    void SetUp() override
    {
        signIn();
        show();
        ASSERT_TRUE(listed(0));
    }

    // Copies of camera photos waiting in the cache folder.
    static QStringList cachedCopies() { return QDir(DiskFile::cacheFolder()).entryList({"*.JPG"}, QDir::Files); }
    int cacheRows() const
    {
        auto db = SqliteDBManager::initWithFilePath(home.caches() + "/diskfilecache.db");
        QList<QVariantList> rows;
        return db && db->queryValues(&rows, "SELECT COUNT(*) FROM upload_files") ? rows[0][0].toInt() : -1;
    }
    static QString dialogText()
    {
        const QList<ui::ChoiceDialog*> shown = ui::ChoiceDialog::showing();
        return shown.isEmpty() ? QString() : shown.last()->message();
    }

    // The upload stops after its second chunk until resume() (the first
    // one's progress is told); the facade's answers go on meanwhile.
    void holdAfterSecondChunk()
    {
        disk.manager->setChunkObserver([this](const DiskFilePtr&, qint64 done) {
            if (done == 2 * 64 * 1024)
                m_gate.tryAcquire(1, 20000);
        });
    }
    void resume() { m_gate.release(); }
    // The progress panel on screen.
    PavPhotosProcessingView_iPad* panel() const
    {
        for (auto* p : canvas->findChildren<PavPhotosProcessingView_iPad*>())
            if (p->isVisible())
                return p;
        return nullptr;
    }
    bool storeEmpty() const
    {
        QList<QVariantList> rows;
        return disk.blobs().isEmpty() && disk.store->db().queryValues(&rows, "SELECT file_id FROM files")
            && rows.isEmpty() && cachedCopies().isEmpty() && cacheRows() == 0;
    }
    // Starts a photo and waits until the panel shows its first chunk.
    void startHeldUpload()
    {
        holdAfterSecondChunk();
        screen->imagePickerDidFinish(photo);
        ASSERT_TRUE(waitUntil([this] { return panel() && panel()->progress() > 0; }, 10000));
        ASSERT_GT(panel()->totalCount(), 2u * 64u * 1024u);
        ASSERT_TRUE(screen->cameraUpload().curUploadPhoto());
        EXPECT_EQ(qint64(panel()->totalCount()), screen->cameraUpload().curUploadPhoto()->file_size());
    }

    const QImage photo = ImageFixtures::pattern(1200, 900, 4);
    QSemaphore m_gate;
};

TEST_F(CloudCameraUploadTest, ARefusedPhotoLeavesNeitherItsCachedCopyNorItsRow)
{
    network = 0;
    screen->imagePickerDidFinish(photo);
    EXPECT_EQ(dialogText(), "网络连接错误，请检查网络。");
    EXPECT_TRUE(cachedCopies().isEmpty());
    EXPECT_EQ(cacheRows(), 0);
    closeDialogs();

    // On cellular the photo waits for the answer, then "取消" drops it.
    network = 1;
    screen->imagePickerDidFinish(photo);
    ui::ChoiceDialog* ask = ui::ChoiceDialog::showingWithTag(102);
    ASSERT_TRUE(ask);
    EXPECT_TRUE(ask->message().startsWith("当前网络为普通网络，保存选中图片约耗")) << ask->message().toStdString();
    EXPECT_TRUE(ask->message().endsWith("流量，确定保存？")) << ask->message().toStdString();
    ask->clickButtonAtIndex(0);
    EXPECT_TRUE(cachedCopies().isEmpty());
    EXPECT_EQ(cacheRows(), 0);

    // More than the free space.
    network = 3;
    disk.manager->current_user()->setTotal_space(disk.manager->current_user()->used_space() + 100);
    screen->imagePickerDidFinish(photo);
    EXPECT_EQ(dialogText(), "云端存储空间已满，无法完成备份。");
    EXPECT_TRUE(cachedCopies().isEmpty());
    EXPECT_EQ(cacheRows(), 0);
    EXPECT_TRUE(disk.blobs().isEmpty());
}

TEST_F(CloudCameraUploadTest, AFullDiskFailsTheUploadWithTheNoSpaceAlertAndLeavesNothingBehind)
{
    // After the first chunk the store's disk is full.
    disk.manager->setChunkObserver([this](const DiskFilePtr&, qint64 done) {
        if (done == 64 * 1024)
            disk.store->failBlobWritesWith(ENOSPC);
    });
    screen->imagePickerDidFinish(photo);
    ASSERT_TRUE(waitUntil([] { return !dialogText().isEmpty(); }, 10000));
    EXPECT_EQ(dialogText(), "云端存储空间已满，无法完成备份。");
    EXPECT_TRUE(disk.blobs().isEmpty());
    QList<QVariantList> rows;
    ASSERT_TRUE(disk.store->db().queryValues(&rows, "SELECT file_id FROM files"));
    EXPECT_TRUE(rows.isEmpty());
    EXPECT_TRUE(cachedCopies().isEmpty());
    EXPECT_EQ(cacheRows(), 0);

    // With room again the next photo arrives whole.
    closeDialogs();
    disk.manager->setChunkObserver({});
    disk.store->failBlobWritesWith(0);
    screen->imagePickerDidFinish(photo);
    ASSERT_TRUE(listed(1));
    EXPECT_EQ(disk.blobs().size(), 1);
    EXPECT_EQ(cacheRows(), 0);
}

// The disk stopped knowing the sign-in key: the upload's -401 signs the
// album out and asks for the sign-in, as the listing and the batches do,
// instead of telling a passing failure.
TEST_F(CloudCameraUploadTest, ALapsedSignInEmptiesTheSavedPasswordAndAsksForTheSignIn)
{
    ASSERT_TRUE(upload(ImageFixtures::jpeg(40, 30, 1), "a.jpg"));
    screen->getPathList();
    ASSERT_TRUE(listed(1));
    saved->setUin("10001");
    saved->setPassword("secret");
    saved->setSavePassword("YES");
    saved->saveLoginInfoToDisk();
    disk.login->setSessionKey("lapsed-key");

    screen->imagePickerDidFinish(photo);
    ASSERT_TRUE(waitUntil([this] { return loginSheets == 1; }, 10000));
    EXPECT_FALSE(screen->cameraUpload().isBusy());
    EXPECT_EQ(screen->cameraUpload().curUploadPhoto(), nullptr);
    EXPECT_FALSE(panel());
    spinEvents(50);
    EXPECT_TRUE(ui::ChoiceDialog::showing().isEmpty()) << dialogText().toStdString();
    EXPECT_TRUE(saved->password().isEmpty());
    PavDiskUserInfoManager reread(home.documents(), [this]() -> UserDefaults& { return defaults; });
    EXPECT_TRUE(reread.password().isEmpty()) << "the emptied password is saved";
    EXPECT_FALSE(album->isLogined());
    EXPECT_EQ(album->cloudAlbumDir(), nullptr);
    EXPECT_TRUE(screen->listing().isEmpty());
    // Nothing of the photo stays to be taken up later.
    EXPECT_EQ(disk.blobs().size(), 1);
    EXPECT_EQ(cacheRows(), 0);
}

TEST_F(CloudCameraUploadTest, OnCellularTheYesUploadsAndTheCancelMidUploadLeavesNothing)
{
    network = 1;
    screen->imagePickerDidFinish(photo);
    ui::ChoiceDialog* ask = ui::ChoiceDialog::showingWithTag(102);
    ASSERT_TRUE(ask);
    EXPECT_TRUE(storeEmpty());   // nothing written while it asks
    holdAfterSecondChunk();
    ask->clickButtonAtIndex(1);
    ASSERT_TRUE(waitUntil([this] { return panel() && panel()->progress() > 0; }, 10000));

    panel()->cancelButtonClicked();
    EXPECT_FALSE(panel());
    resume();
    EXPECT_TRUE(waitUntil([this] { return storeEmpty(); }, 10000));
    spinEvents(50);
    EXPECT_TRUE(ui::ChoiceDialog::showing().isEmpty()) << dialogText().toStdString();

    // The question taken away by the background drops its photo; the next
    // photo is asked about and goes up whole.
    disk.manager->setChunkObserver({});
    screen->imagePickerDidFinish(photo);
    ASSERT_TRUE(ui::ChoiceDialog::showingWithTag(102));
    AppLifecycle::shared().enterBackground();
    AppLifecycle::shared().enterForeground();
    EXPECT_FALSE(ui::ChoiceDialog::showingWithTag(102));
    spinEvents(20);
    screen->imagePickerDidFinish(photo);
    ASSERT_TRUE(ui::ChoiceDialog::showingWithTag(102));
    ui::ChoiceDialog::showingWithTag(102)->clickButtonAtIndex(1);
    ASSERT_TRUE(listed(1));
    EXPECT_EQ(disk.blobs().size(), 1);
    EXPECT_FALSE(panel());
}

TEST_F(CloudCameraUploadTest, TheAlbumTabAndItsScreenGoingMidUploadStopItAndLeaveNothing)
{
    // The cloud album in its tab, as the application holds it.
    delete screen->navigationStack();
    PavAlbumContainerController_iPad::Collaborators c;
    c.albumScreens = [this](int i) -> AlbumScreen* {
        if (i != 2)
            return new AlbumScreen;
        return screen = new PavCloudAlbumViewController_iPad(collaborators());
    };
    c.settings = [](PavAlbumContainerController_iPad*) -> ui::Screen* { return nullptr; };
    c.isLogined = [] { return true; };
    c.hasVerified = [] { return true; };
    c.usage = [](int) {};
    c.center = &center;
    auto* tab = new PavAlbumContainerController_iPad(c);
    canvas->setRootScreen(tab);
    spinEvents(10);
    tab->setSelectedIndex(2);
    ASSERT_TRUE(screen);
    ASSERT_TRUE(listed(0));

    startHeldUpload();
    delete tab;
    EXPECT_FALSE(screen);
    resume();
    EXPECT_TRUE(waitUntil([this] { return storeEmpty(); }, 10000));
    spinEvents(50);
    EXPECT_FALSE(panel());
    EXPECT_TRUE(ui::ChoiceDialog::showing().isEmpty()) << dialogText().toStdString();
}

}
