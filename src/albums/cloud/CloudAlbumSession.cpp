#include "albums/cloud/CloudAlbumSession.h"

#include "disk/PavCloudAlbumManager.h"
#include "disk/PavDiskUserInfoManager.h"

CloudAlbumSession::CloudAlbumSession(PavCloudAlbumManager& cloud, PavDiskUserInfoManager& saved)
    : m_cloud(cloud), m_saved(saved)
{
}

bool CloudAlbumSession::belongsTo(const DiskDirPtr& albumDir, const DiskUserPtr& user)
{
    if (!albumDir)
        return true;
    const DiskDirPtr top = albumDir->rootDir();
    const QString userRootKey = user && user->root_dir() ? user->root_dir()->dir_key() : QString();
    return top && !userRootKey.isEmpty() && top->dir_key() == userRootKey;
}

void CloudAlbumSession::signOut()
{
    m_saved.setPassword(QString(""));
    m_saved.saveLoginInfoToDisk();
    m_cloud.setIsLogined(false);
}

void CloudAlbumSession::accountChanged()
{
    m_cloud.setIsLogined(false);
    m_cloud.setCloudAlbumDir(nullptr);
}

void CloudAlbumSession::signInLapsed()
{
    signOut();
    accountChanged();
}
