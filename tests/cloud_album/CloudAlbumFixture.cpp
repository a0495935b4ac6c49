#include "CloudAlbumFixture.h"

#include "albums/cloud/PavCloudPhotoCell_iPad.h"
#include "albums/cloud/PavCloudPhotoView_iPad.h"
#include "platform/ui/Animations.h"
#include "platform/ui/ChoiceDialog.h"
#include "platform/ui/NavigationStack.h"
#include "support/EventLoop.h"

#include <QTest>

namespace {

// Hears one disk answer at a time.
struct Answer : DiskManagerDelegate, ZEBConnectionAuthDelegate {
    int loginResult(bool result, int) override { return done = true, ok = result, 0; }
    void loginNeedVerfy(const QString&, bool) override { done = true; }
    void fileDidQueryUserUserInfo(const DiskUserPtr& u) override { done = true, user = u; }
    void fileDidQueryDirListRootDir(const DiskDirPtr&, const QList<DiskFilePtr>&, const QList<DiskDirPtr>& d) override
    {
        done = true, dirs = d;
    }
    void fileMakeDirSuccess(const DiskDirPtr& d) override { done = true, dir = d; }
    void fileMakeDirFailWithErrorCode(const DiskError&) override { done = true; }
    void fileUploadSuccess(const DiskFilePtr&) override { done = true, ok = true; }
    void fileUploadFail(const DiskFilePtr&) override { done = true; }
    bool wait()
    {
        const bool answered = waitUntil([this] { return done; });
        done = false;
        return answered;
    }
    bool done = false;
    bool ok = false;
    DiskUserPtr user;
    QList<DiskDirPtr> dirs;
    DiskDirPtr dir;
};

// The sign-in sheet stand-in: an empty screen, counted.
struct LoginStandIn : ui::Screen {};

}

CloudAlbumFixture::CloudAlbumFixture()
{
    ui::Animations::setEnabled(false);
    store = DiskStore::open(storeDir.path(), &clock);
    login = std::make_unique<DiskLoginModel>([this] { return store; });
    disk = std::make_unique<DiskManager>([this] { return store; }, [this] { return login->sessionKey(); });
    saved = std::make_unique<PavDiskUserInfoManager>(home.documents(), [this]() -> UserDefaults& { return defaults; });
    album = std::make_unique<PavCloudAlbumManager>([this]() -> UserDefaults& { return defaults; }, &clock);
    idle = std::make_unique<IdleTimer>();
    canvas = std::make_unique<ui::Canvas>();
    canvas->resize(615, 748);
}

CloudAlbumFixture::~CloudAlbumFixture()
{
    closeDialogs();
    canvas.reset();
    spinEvents(10);
    disk.reset();
    login.reset();
    spinEvents(10);
    ui::Animations::setEnabled(true);
}

void CloudAlbumFixture::closeDialogs()
{
    for (ui::ChoiceDialog* d : ui::ChoiceDialog::showing())
        delete d;
}

void CloudAlbumFixture::signIn(const QString& uin)
{
    Answer a;
    login->setDelegate(&a);
    login->loginWithUserName(uin, "secret");
    ASSERT_TRUE(a.wait() && a.ok);
    disk->requestQueryUser(&a);
    ASSERT_TRUE(a.wait() && a.user);
    disk->requestQueryDir(a.user->root_dir(), &a);
    ASSERT_TRUE(a.wait() && !a.dirs.isEmpty());
    // As the sign-in sheet does: the folder below the top is the account's root.
    DiskDirPtr root = a.dirs.first();
    disk->current_user()->setRoot_dir(root);
    disk->current_user()->setRoot_key(root->dir_key());
    disk->requestMakeDir(QString::fromUtf8(PavCloudAlbumManager::kCloudAlbumName), root, &a);
    ASSERT_TRUE(a.wait() && a.dir);
    albumDir = a.dir;
    album->setCloudAlbumDir(albumDir);
    album->setIsLogined(true);
}

DiskFilePtr CloudAlbumFixture::upload(const QByteArray& bytes, const QString& name, const DiskDirPtr& dir)
{
    clock.advanceSeconds(1);
    DiskFilePtr file = DiskFile::initWithUploadData(bytes, name, dir ? dir : albumDir);
    Answer a;
    disk->requestUploadFile(file, &a);
    return a.wait() && a.ok ? file : nullptr;
}

DiskDirPtr CloudAlbumFixture::makeDir(const QString& name)
{
    clock.advanceSeconds(1);
    Answer a;
    disk->requestMakeDir(name, albumDir, &a);
    return a.wait() ? a.dir : nullptr;
}

void CloudAlbumFixture::reappear()
{
    ui::NavigationStack* stack = screen->navigationStack();
    stack->push(new ui::Screen, false);
    stack->pop(false);
    spinEvents(10);
}

PavCloudAlbumViewController_iPad::Collaborators CloudAlbumFixture::collaborators()
{
    PavCloudAlbumViewController_iPad::Collaborators c;
    c.disk = disk.get();
    c.cloud = album.get();
    c.savedAccount = saved.get();
    c.makeLogin = [this](PavCloudAlbumLoginDelegate*) -> ui::Screen* {
        ++loginSheets;
        return new LoginStandIn;
    };
    c.makePicker = []() -> ui::Screen* { return new ui::Screen; };
    c.openPhoto = [this](const DiskFilePtr&, const QList<DiskFilePtr>& photos) { opened = photos; };
    c.network = [this] { return network; };
    c.usage = [this](int id) { usage.push_back(id); };
    c.center = &center;
    c.batches.library = library;
    c.batches.idleTimer = idle.get();
    c.batches.panelHost = [this]() -> QWidget* { return canvas.get(); };
    return c;
}

PavCloudAlbumViewController_iPad* CloudAlbumFixture::show()
{
    screen = new PavCloudAlbumViewController_iPad(collaborators());
    auto* stack = new ui::NavigationStack(screen);
    stack->setBarHidden(true);
    canvas->setRootScreen(stack);
    canvas->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(canvas.get()));
    spinEvents(10);
    return screen;
}

bool CloudAlbumFixture::listed(int n)
{
    return waitUntil([this, n] { return screen && !screen->isListing() && screen->listing().count() == n; });
}

void CloudAlbumFixture::choose(const QStringList& names)
{
    for (QWidget* cell : screen->cloudTableView()->visibleCells()) {
        for (auto* tile : cell->findChildren<PavCloudPhotoView_iPad*>()) {
            if (tile->fileOrDir().file && names.contains(tile->fileOrDir().file->file_name()))
                tile->click();
        }
    }
}

bool CloudAlbumFixture::thumbnailsShown()
{
    return waitUntil([this] {
        for (QWidget* cell : screen->cloudTableView()->visibleCells()) {
            for (auto* tile : cell->findChildren<PavCloudPhotoView_iPad*>()) {
                if (tile->type() == PavCloudPhotoView_iPad::Photo && !tile->shownPicture().endsWith(".thumb"))
                    return false;
            }
        }
        return true;
    });
}
