#include "CloudAlbumFixture.h"

#include "albums/cloud/PavCloudPhotoCell_iPad.h"
#include "albums/cloud/PavCloudPhotoView_iPad.h"
#include "platform/ui/Animations.h"
#include "platform/ui/ChoiceDialog.h"
#include "platform/ui/NavigationStack.h"
#include "support/EventLoop.h"
#include "support/FakeIdleInhibit.h"

#include <QTest>

namespace {

// The sign-in sheet stand-in: an empty screen, counted.
struct LoginStandIn : ui::Screen {};

}

CloudAlbumFixture::CloudAlbumFixture()
{
    ui::Animations::setEnabled(false);
    saved = std::make_unique<PavDiskUserInfoManager>(home.documents(), [this]() -> UserDefaults& { return defaults; });
    album = std::make_unique<PavCloudAlbumManager>([this]() -> UserDefaults& { return defaults; }, &disk.clock);
    idle = std::make_unique<IdleTimer>(std::make_unique<FakeIdleInhibit>());
    canvas = std::make_unique<ui::Canvas>();
}

CloudAlbumFixture::~CloudAlbumFixture()
{
    closeDialogs();
    canvas.reset();
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
    const DiskDirPtr root = disk.signIn(uin);
    ASSERT_TRUE(root);
    // As the sign-in sheet does: the folder below the top is the account's root.
    disk.manager->current_user()->setRoot_dir(root);
    disk.manager->current_user()->setRoot_key(root->dir_key());
    albumDir = disk.makeDir(QString::fromUtf8(PavCloudAlbumManager::kCloudAlbumName), root);
    ASSERT_TRUE(albumDir);
    album->setCloudAlbumDir(albumDir);
    album->setIsLogined(true);
}

DiskFilePtr CloudAlbumFixture::upload(const QByteArray& bytes, const QString& name, const DiskDirPtr& dir)
{
    disk.clock.advanceSeconds(1);
    return disk.uploadBytes(bytes, name, dir ? dir : albumDir);
}

DiskDirPtr CloudAlbumFixture::makeDir(const QString& name)
{
    disk.clock.advanceSeconds(1);
    return disk.makeDir(name, albumDir);
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
    c.disk = facade ? facade : disk.manager.get();
    c.cloud = album.get();
    c.savedAccount = saved.get();
    c.makeLogin = [this](PavCloudAlbumLoginDelegate*) -> ui::Screen* {
        ++loginSheets;
        return new LoginStandIn;
    };
    c.makePicker = []() -> ui::Screen* { return new ui::Screen; };
    c.openPhoto = [this](const DiskFilePtr&, const QList<DiskFilePtr>& photos) { opened = photos; };
    c.network = [this] { return network; };
    c.camera = camera;
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
