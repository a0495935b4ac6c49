#include "support/SharedDiskStore.h"

#include "disk/DiskAccounts.h"
#include "disk/DiskLoginModel.h"
#include "disk/DiskManager.h"
#include "disk/DiskStore.h"
#include "support/EventLoop.h"
#include "support/RecordingDiskResponse.h"

SharedDiskStore::SharedDiskStore()
{
    DiskStore::setDefaultRoot(m_dir.path());
}

SharedDiskStore::~SharedDiskStore()
{
    spinEvents(10);
    DiskLoginModel::sharedInstance().setSessionKey(QString());
    DiskManager::shareDiskManager().setCurrent_user(nullptr);
    DiskStore::setDefaultRoot(QString());
}

bool SharedDiskStore::signInDisk(const QString& uin, const QString& password)
{
    RecordingDiskResponse r;
    DiskLoginModel& login = DiskLoginModel::sharedInstance();
    login.setDelegate(&r);
    login.loginWithUserName(uin, password);
    if (!waitUntil([&] { return r.log.size() == 1; }) || r.log.first() != "login YES 0")
        return false;
    DiskManager::shareDiskManager().requestQueryUser(&r);
    return waitUntil([&] { return r.log.size() == 2; }) && r.user;
}

void SharedDiskStore::requireCode(const QString& uin, const QString& password)
{
    DiskAccounts& accounts = DiskStore::shared()->accounts();
    accounts.login(uin, password, QString());
    for (int i = 0; i < 3; ++i)   // three wrong passwords in a row
        accounts.login(uin, password + "-wrong", QString());
}

QString SharedDiskStore::pendingCode(const QString& uin)
{
    return DiskStore::shared()->accounts().pendingVerifyCode(uin.toLongLong());
}
