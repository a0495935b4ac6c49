#pragma once

#include "disk/DiskManagerDelegate.h"

class PavCloudAlbumManager;
class PavDiskUserInfoManager;

// The cloud album's hold on its disk account, without widgets: whether the
// album folder still belongs to the account the disk is signed in to, and
// the ways the album lets go of it. Each one changes the album state before
// anyone is told, so that listeners read the state they are told about.
class CloudAlbumSession {
public:
    CloudAlbumSession(PavCloudAlbumManager& cloud, PavDiskUserInfoManager& saved);

    // True when the album folder's top folder is the root of the account the
    // disk is signed in to (or when there is no album folder to check).
    static bool belongsTo(const DiskDirPtr& albumDir, const DiskUserPtr& user);

    // The user signs out: the saved password is cleared, the album is
    // signed out.
    void signOut();
    // The disk is signed in to another account: the album is signed out and
    // forgets its folder.
    void accountChanged();
    // The sign-in lapsed (-401): both of the above.
    void signInLapsed();

private:
    PavCloudAlbumManager& m_cloud;
    PavDiskUserInfoManager& m_saved;
};
