#include "DeviceBatchFixture.h"

#include "platform/core/MainThread.h"
#include "platform/core/UserDefaults.h"
#include "platform/sys/IdleInhibitBackend.h"
#include "platform/ui/ChoiceDialog.h"
#include "support/EventLoop.h"
#include "support/ImageFixtures.h"

void FakeUploader::upload(const QString& source, const QString& fileName, const std::shared_ptr<DiskDir>& dir,
                          Callbacks callbacks)
{
    calls.push_back({source, fileName, dir});
    log << "upload " + fileName;
    pending = callbacks;
    if (mode == Mode::Silent)
        return;
    const bool ok = mode == Mode::Succeed;
    MainThread::post([callbacks, ok] {
        if (callbacks.progress)
            callbacks.progress(50.f);
        callbacks.done(ok);
    });
}

bool GatedAsset::readAll(QByteArray* out, QString* error) const
{
    m_entered = true;
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_cv.wait(lock, [this] { return m_open; });
    }
    return FakePhotoAsset::readAll(out, error);
}

void GatedAsset::open()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_open = true;
    m_cv.notify_all();
}

DeviceBatchFixture::DeviceBatchFixture()
    : store(std::make_unique<PavPhotoManager>(home.documents() + "/photo", library)),
      cloud([]() -> UserDefaults& { return UserDefaults::standardUserDefaults(); }, &clock)
{
    auto album = std::make_shared<DiskDir>("云端相册", "album-key", std::make_shared<DiskDir>("", "root-key"));
    cloud.setCloudAlbumDir(album);
    cloud.setIsLogined(true);
    canvas = std::make_unique<ui::Canvas>();
    auto* root = new ui::Screen;
    stack = new ui::NavigationStack(root);
    canvas->setRootScreen(stack);
    canvas->show();
    screen = root;
}

DeviceBatchFixture::~DeviceBatchFixture()
{
    batches.reset();
    for (ui::ChoiceDialog* d : ui::ChoiceDialog::showing())
        d->dismissWithClickedButtonIndex(0, false);
    canvas.reset();
    spinEvents(10);
}

void DeviceBatchFixture::makeBatches(int useType)
{
    if (useType != 0) {
        screen = new ui::Screen;
        stack->push(screen, false);
    }
    DeviceAlbumBatches::Host host;
    host.screen = screen;
    host.useType = useType;
    host.selection = [this] { return selection; };
    host.leaveEditMode = [this] { ++leaveEditCalls; };
    DeviceAlbumBatches::Collaborators c;
    c.store = store.get();
    c.cloud = &cloud;
    c.uploader = uploaderInUse ? uploaderInUse : uploader;
    c.freeSpace = [this] { return freeSpace; };
    c.existPassword = [this] { return passwordExists; };
    c.makeLockScreen = [this](PavSecretAlbumPasswordControllerDelegate* delegate) -> ui::Screen* {
        ++lockScreensMade;
        lockDelegate = delegate;
        return new ui::Screen;
    };
    c.makeCloudLogin = [this](std::function<void()> onSuccess) -> ui::Screen* {
        loginSuccess = std::move(onSuccess);
        return new ui::Screen;
    };
    c.network = [this] { return network; };
    c.panelHost = [this]() -> QWidget* { return canvas.get(); };
    c.usage = [this](int id) { events.push_back(id); };
    c.center = &center;
    c.idleTimer = &idle;
    c.clock = &clock;
    c.raiseCancelFlag = [this](bool backup) {
        stopWhenFlagRaised.push_back((backup ? batches->uploadRunner() : batches->encryptRunner()).stopReason());
        if (backup)
            cloud.setNeedCancelUpload(true);
        else
            store->setNeedEncryptionCancel(true);
    };
    batches = std::make_unique<DeviceAlbumBatches>(std::move(host), std::move(c));
    QObject::connect(batches.get(), &DeviceAlbumBatches::batchFinished, [this] { ++finishedCount; });
}

ALAssetPtr DeviceBatchFixture::wrap(const PhotoAssetPtr& asset)
{
    auto a = std::make_shared<ALAsset>(asset);
    a->setType(ALAsset::typeOf(asset->kind()));
    a->setDate(asset->date());
    a->setIsChecked(true);
    return a;
}

void DeviceBatchFixture::selectPhotos(int n, int seedBase)
{
    for (int i = 0; i < n; ++i) {
        const int seed = seedBase + i;
        const QString url = QStringLiteral("assets-library://asset/asset.JPG?id=%1&ext=JPG").arg(seed);
        selection << wrap(FakePhotoAsset::make(url, ImageFixtures::jpeg(40, 30, seed)));
    }
}

std::shared_ptr<GatedAsset> DeviceBatchFixture::selectGated(int seed)
{
    const QString url = QStringLiteral("assets-library://asset/asset.JPG?id=g%1&ext=JPG").arg(seed);
    auto asset = std::make_shared<GatedAsset>(url, ImageFixtures::jpeg(40, 30, seed));
    selection << wrap(asset);
    return asset;
}

bool DeviceBatchFixture::waitFinished(int count)
{
    return waitUntil([&] { return finishedCount >= count; }, 15000);
}

int DeviceBatchFixture::storedCount()
{
    return int(store->photoes().size());
}

QString DeviceBatchFixture::shownAlertMessage(int tag) const
{
    ui::ChoiceDialog* d = ui::ChoiceDialog::showingWithTag(tag);
    return d ? d->message() : QString();
}
