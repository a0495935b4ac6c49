#pragma once

#include "albums/cloud/PavCloudAlbumViewController_iPad.h"
#include "disk/PavCloudAlbumManager.h"
#include "disk/PavDiskUserInfoManager.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/UserDefaults.h"
#include "platform/sys/IdleInhibitBackend.h"
#include "platform/sys/IdleTimer.h"
#include "platform/ui/Canvas.h"
#include "support/FakePhotoLibrary.h"
#include "support/TempDiskStore.h"
#include "support/TempHome.h"

#include <QPointer>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace ui {
class NavigationStack;
}

// A cloud album screen over a real disk store in a temporary folder, with a
// fake device library, a settable network kind and the screen at the root of
// a navigation stack on a canvas.
class CloudAlbumFixture : public ::testing::Test {
protected:
    CloudAlbumFixture();
    ~CloudAlbumFixture() override;

    // Signs the disk in, makes the album folder and marks the album signed in.
    void signIn(const QString& uin = "10001");
    // Uploads bytes as a new file of the album folder (the clock moves on a
    // second first, so later uploads list first).
    DiskFilePtr upload(const QByteArray& bytes, const QString& name, const DiskDirPtr& dir = nullptr);
    DiskDirPtr makeDir(const QString& name);
    PavCloudAlbumViewController_iPad::Collaborators collaborators();
    // The root screen appears again (a screen pushed above it goes away).
    void reappear();
    // Makes the screen and shows it (it lists when signed in).
    PavCloudAlbumViewController_iPad* show();
    // Waits for the screen's listing to hold n entries.
    bool listed(int n);
    // Checks the named photos through their tiles.
    void choose(const QStringList& names);
    void closeDialogs();
    // Waits until every photo tile in view shows its thumbnail.
    bool thumbnailsShown();

    // The screen's facade (default: the temporary store's).
    DiskManager* facade = nullptr;
    TempHome home;
    UserDefaults defaults;
    TempDiskStore disk;
    std::unique_ptr<PavDiskUserInfoManager> saved;
    std::unique_ptr<PavCloudAlbumManager> album;
    std::shared_ptr<FakePhotoLibrary> library = std::make_shared<FakePhotoLibrary>();
    std::unique_ptr<IdleTimer> idle;
    NotificationCenter center;
    int network = 3;
    Camera* camera = nullptr;  // the device's
    std::vector<int> usage;
    int loginSheets = 0;
    QList<DiskFilePtr> opened;
    DiskDirPtr albumDir;
    std::unique_ptr<ui::Canvas> canvas;
    QPointer<PavCloudAlbumViewController_iPad> screen;
};
