// Starts the application as main() does, over the folders given with
// --home, --library and --disk-root, then works as a user would: encrypts
// every photo of the library through the device album's batch, printing
// "stored N" as the private album grows; then signs in to the disk store,
// uploads one photo, saves one into the device library and prints "done". It then waits: SIGTERM, SIGINT and
// SIGHUP end it as they end the application.

#include "albums/device/DeviceAlbumBatches.h"
#include "albums/store/PavPhotoManager.h"
#include "disk/DiskLoginModel.h"
#include "disk/DiskManager.h"
#include "platform/photolib/FolderPhotoLibrary.h"
#include "platform/photolib/PhotoLibrary.h"
#include "shell/AppDelegate.h"
#include "shell/AppLaunch.h"
#include "support/RecordingDiskResponse.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QTimer>

#include <cstdio>

namespace {
void say(const QByteArray& line)
{
    std::printf("%s\n", line.constData());
    std::fflush(stdout);
}

// Signs in and uploads one file into the account's top folder, step by
// step on the main thread.
class UploadOnce : public RecordingDiskResponse {
public:
    UploadOnce(QString source, QString photoPath) : m_source(std::move(source)), m_photoPath(std::move(photoPath)) {}
    void start()
    {
        DiskLoginModel::sharedInstance().setDelegate(this);
        DiskLoginModel::sharedInstance().loginWithUserName(QStringLiteral("10001"), QStringLiteral("secret"));
    }
    int loginResult(bool result, int tag) override
    {
        RecordingDiskResponse::loginResult(result, tag);
        if (result)
            DiskManager::shareDiskManager().requestQueryUser(this);
        else
            say("sign-in failed");
        return 0;
    }
    void fileDidQueryUserUserInfo(const DiskUserPtr& u) override
    {
        DiskManager::shareDiskManager().requestQueryDir(u->root_dir(), this);
    }
    void fileDidQueryDirListRootDir(const DiskDirPtr&, const QList<DiskFilePtr>&, const QList<DiskDirPtr>& dirs) override
    {
        if (dirs.isEmpty())
            return say("no folder");
        const DiskFilePtr file = DiskFile::initWithUploadSource(m_source, QStringLiteral("upload.jpg"), dirs.first());
        if (!file)
            return say("upload failed");
        DiskManager::shareDiskManager().requestUploadFile(file, this);
    }
    void fileDidQueryDirListFail(const DiskDirPtr&, const QString&) override { say("listing failed"); }
    void fileDidQueryUserUserInfoFail(const DiskUserPtr&, const DiskError&) override { say("account failed"); }
    void fileUploadSuccess(const DiskFilePtr&) override
    {
        // Last, a photo saved into the device library, as a move-out does.
        QFile photo(m_photoPath);
        photo.open(QIODevice::ReadOnly);
        PhotoLibrary::shared()->saveToLibrary(photo.readAll(), QStringLiteral("JPG"), QDateTime(),
                                              [](const PhotoLibrary::SaveResult& r) {
                                                  say(r.ok() ? "done" : "save failed");
                                              });
    }
    void fileUploadFail(const DiskFilePtr&) override { say("upload failed"); }

private:
    QString m_source;
    QString m_photoPath;
};
}

int main(int argc, char** argv)
{
    AppLaunch launch(argc, argv);
    if (const std::optional<int> status = launch.launch())
        return *status;
    const LaunchOptions& options = launch.options();

    FolderPhotoLibrary library(options.library);
    QList<ALAssetPtr> selection;
    for (const QString& path : library.scanFiles()) {
        const PhotoAssetPtr photo = library.assetForFile(path);
        auto asset = std::make_shared<ALAsset>(photo);
        asset->setType(ALAsset::typeOf(photo->kind()));
        asset->setDate(photo->date());
        asset->setIsChecked(true);
        selection << asset;
    }
    UploadOnce upload(selection.isEmpty() ? QString() : selection.first()->url(), library.scanFiles().value(0));

    DeviceAlbumBatches::Host host;
    host.screen = launch.delegate().ipadViewController();
    host.selection = [&selection] { return selection; };
    DeviceAlbumBatches::Collaborators c;
    c.existPassword = [] { return true; };
    c.network = [] { return 1; };
    DeviceAlbumBatches batches(std::move(host), std::move(c));
    QObject::connect(&batches, &DeviceAlbumBatches::batchFinished, [&upload] { upload.start(); });

    PavPhotoManager& store = PavPhotoManager::sharedPavPhotoManager();
    qsizetype told = -1;
    QTimer progress;
    QObject::connect(&progress, &QTimer::timeout, [&] {
        const qsizetype stored = store.photoes().size();
        if (stored != told)
            say("stored " + QByteArray::number(told = stored));
    });
    progress.start(10);
    batches.lockButtonClicked();
    const int status = QApplication::exec();
    say("exit " + QByteArray::number(status));
    return status;
}
