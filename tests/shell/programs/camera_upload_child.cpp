// Starts the application as main() does over the folders given with
// --home, --library and --disk-root, signs in to the disk store, shows the
// cloud album and hands its screen a photo as the camera does, over Wi-Fi.
// The upload goes one chunk per 50 ms; "uploading" is printed at its first
// chunk. SIGTERM, SIGINT and SIGHUP end it as they end the application.

#include "albums/cloud/PavCloudAlbumViewController_iPad.h"
#include "albums/container/PavAlbumContainerController_iPad.h"
#include "disk/DiskLoginModel.h"
#include "disk/DiskManager.h"
#include "disk/PavCloudAlbumManager.h"
#include "shell/AppDelegate.h"
#include "shell/AppLaunch.h"
#include "shell/PaviPadViewController.h"
#include "support/EventLoop.h"
#include "support/FakeNetworkKind.h"
#include "support/ImageFixtures.h"
#include "support/RecordingDiskResponse.h"

#include <QApplication>
#include <QThread>

#include <atomic>
#include <cstdio>

namespace {
int say(const char* line, int status = 0)
{
    std::printf("%s\n", line);
    std::fflush(stdout);
    return status;
}
}

int main(int argc, char** argv)
{
    AppLaunch launch(argc, argv);
    if (const std::optional<int> status = launch.launch())
        return *status;
    FakeNetworkKind wifi(3);

    DiskManager& disk = DiskManager::shareDiskManager();
    RecordingDiskResponse r;
    const auto heard = [&r](int n) { return waitUntil([&r, n] { return r.log.size() >= n; }, 30000); };
    DiskLoginModel::sharedInstance().setDelegate(&r);
    DiskLoginModel::sharedInstance().loginWithUserName(QStringLiteral("10001"), QStringLiteral("secret"));
    if (!heard(1) || r.log.last() != "login YES 0")
        return say("sign-in failed", 2);
    disk.requestQueryUser(&r);
    if (!heard(2) || !r.user)
        return say("account failed", 2);
    disk.requestQueryDir(r.user->root_dir(), &r);
    if (!heard(3) || r.dirs.isEmpty())
        return say("listing failed", 2);
    // As the sign-in sheet does: the folder below the top is the account's root.
    const DiskDirPtr root = r.dirs.first();
    disk.current_user()->setRoot_dir(root);
    disk.current_user()->setRoot_key(root->dir_key());
    disk.requestMakeDir(QString::fromUtf8(PavCloudAlbumManager::kCloudAlbumName), root, &r);
    if (!heard(4) || !r.madeDir)
        return say("folder failed", 2);
    PavCloudAlbumManager& cloud = PavCloudAlbumManager::sharePavCloudAlbumManager();
    cloud.setCloudAlbumDir(r.madeDir);
    cloud.setIsLogined(true);

    PavAlbumContainerController_iPad* tab = launch.delegate().ipadViewController()->albumContainer();
    tab->setSelectedIndex(2);
    auto* screen = qobject_cast<PavCloudAlbumViewController_iPad*>(tab->cloudAlbumViewController());
    if (!screen)
        return say("no cloud album", 2);
    spinEvents(50);

    std::atomic<bool> told{false};
    disk.setChunkObserver([&told](const DiskFilePtr&, qint64) {
        if (!told.exchange(true))
            say("uploading");
        QThread::msleep(50);
    });
    screen->imagePickerDidFinish(ImageFixtures::pattern(3000, 2000, 7));
    const int status = QApplication::exec();
    say(status == 0 ? "exit 0" : "exit failed");
    return status;
}
