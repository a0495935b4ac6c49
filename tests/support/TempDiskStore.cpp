#include "support/TempDiskStore.h"

#include "support/EventLoop.h"

#include <QDir>

TempDiskStore::TempDiskStore()
{
    store = DiskStore::open(storeDir.path(), &clock);
    login = std::make_unique<DiskLoginModel>([this] { return store; });
    manager = std::make_unique<DiskManager>([this] { return store; }, [this] { return login->sessionKey(); });
}

TempDiskStore::~TempDiskStore()
{
    manager.reset();
    login.reset();
    spinEvents(0);
}

bool TempDiskStore::waitForLog(RecordingDiskResponse& r, int n)
{
    return waitUntil([&] { return r.log.size() >= n; });
}

DiskDirPtr TempDiskStore::signIn(const QString& uin, const QString& pw)
{
    RecordingDiskResponse r;
    login->setDelegate(&r);
    login->loginWithUserName(uin, pw);
    if (!waitForLog(r, 1) || r.log.last() != "login YES 0")
        return nullptr;
    manager->requestQueryUser(&r);
    if (!waitForLog(r, 2) || !r.user)
        return nullptr;
    manager->requestQueryDir(r.user->root_dir(), &r);
    if (!waitForLog(r, 3) || r.dirs.isEmpty())
        return nullptr;
    return r.dirs.first();
}

DiskFilePtr TempDiskStore::uploadBytes(const QByteArray& bytes, const QString& name, const DiskDirPtr& dir)
{
    DiskFilePtr file = DiskFile::initWithUploadData(bytes, name, dir);
    RecordingDiskResponse r;
    manager->requestUploadFile(file, &r);
    return waitForLog(r, 1) && r.log.first() == "upload ok" ? file : nullptr;
}

DiskDirPtr TempDiskStore::makeDir(const QString& name, const DiskDirPtr& father)
{
    RecordingDiskResponse r;
    manager->requestMakeDir(name, father, &r);
    return waitForLog(r, 1) ? r.madeDir : nullptr;
}

QList<DiskFilePtr> TempDiskStore::filesIn(const DiskDirPtr& dir)
{
    RecordingDiskResponse r;
    manager->requestQueryDir(dir, &r);
    return waitForLog(r, 1) ? r.files : QList<DiskFilePtr>();
}

QStringList TempDiskStore::blobs() const
{
    return QDir(storeDir.path() + "/blobs").entryList(QDir::Files | QDir::System);
}
