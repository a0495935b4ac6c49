#include "albums/device/DeviceAlbumBatches.h"

#include "Public/PavAlertView.h"
#include "Public/PavToastView_iPad.h"
#include "Public/PaviPadNavigationController.h"
#include "albums/batch/PavPhotosProcessingView_iPad.h"
#include "albums/cloud/PavCloudAlbumLoginDelegate.h"
#include "albums/cloud/PavCloudAlbumLoginViewController_iPad.h"
#include "albums/device/BackupGate.h"
#include "albums/device/DiskBackupUploader.h"
#include "albums/lock/PavAlbumPasswordManager.h"
#include "albums/lock/PavSecretAlbumPasswordController_iPad.h"
#include "albums/store/PavPhotoManager.h"
#include "disk/DiskManager.h"
#include "platform/photolib/KyAssetsLibrary.h"
#include "disk/PavCloudAlbumManager.h"
#include "platform/core/Clock.h"
#include "platform/core/Localization.h"
#include "platform/core/MainThread.h"
#include "platform/core/UserDefaults.h"
#include "platform/sys/IdleTimer.h"
#include "platform/sys/NetworkHelper.h"
#include "platform/ui/ModalHost.h"
#include "platform/ui/NavigationStack.h"

#include <vector>

namespace {

constexpr int kCloudPicker = 2;

// Hands the sign-in sheet's success to a callback; lives with the sheet.
class CloudLoginRelay : public QObject, public PavCloudAlbumLoginDelegate {
public:
    CloudLoginRelay(QObject* sheet, std::function<void()> onSuccess) : QObject(sheet), m_onSuccess(std::move(onSuccess))
    {
    }
    void cloudAlbumLoginSuccess() override
    {
        if (m_onSuccess)
            m_onSuccess();
    }
    void cloudAlbumLoginCancel() override {}
    // The sign-in's activation failure: nothing to do here either.
    void cloudAlbumActiveFail() {}

private:
    std::function<void()> m_onSuccess;
};

DeviceAlbumBatches::Collaborators withDefaults(DeviceAlbumBatches::Collaborators c)
{
    if (!c.store)
        c.store = &PavPhotoManager::sharedPavPhotoManager();
    if (!c.cloud)
        c.cloud = &PavCloudAlbumManager::sharePavCloudAlbumManager();
    if (!c.uploader)
        c.uploader = std::make_shared<DiskBackupUploader>();
    if (!c.freeSpace) {
        c.freeSpace = []() -> std::optional<qint64> {
            const DiskUserPtr user = DiskManager::shareDiskManager().current_user();
            if (!user)
                return std::nullopt;
            return user->total_space() - user->used_space();
        };
    }
    if (!c.existPassword)
        c.existPassword = [] { return PavAlbumPasswordManager::existPassword(); };
    if (!c.makeLockScreen) {
        c.makeLockScreen = [](PavSecretAlbumPasswordControllerDelegate* delegate) -> ui::Screen* {
            auto* lock = PavSecretAlbumPasswordController_iPad::initWithType(3);
            lock->setDelegate(delegate);
            return lock;
        };
    }
    if (!c.makeCloudLogin) {
        c.makeCloudLogin = [](std::function<void()> onSuccess) -> ui::Screen* {
            auto* login = new PavCloudAlbumLoginViewController_iPad;
            login->setDelegate(new CloudLoginRelay(login, std::move(onSuccess)));
            return login;
        };
    }
    if (!c.network)
        c.network = [] { return NetworkHelper::getNetworkConnction(); };
    if (!c.panelHost)
        c.panelHost = &BatchSession::rootHost;
    if (!c.defaults)
        c.defaults = &UserDefaults::standardUserDefaults();
    if (!c.usage)
        c.usage = AlbumUsage::defaultRecorder();
    if (!c.center)
        c.center = &NotificationCenter::defaultCenter();
    if (!c.idleTimer)
        c.idleTimer = &IdleTimer::shared();
    if (!c.clock)
        c.clock = &Clock::system();
    if (!c.raiseCancelFlag) {
        c.raiseCancelFlag = [store = c.store, cloud = c.cloud](bool backup) {
            if (backup)
                cloud->setNeedCancelUpload(true);
            else
                store->setNeedEncryptionCancel(true);
        };
    }
    return c;
}

}

DeviceAlbumBatches::DeviceAlbumBatches(Host host, Collaborators collaborators, QObject* parent)
    : QObject(parent), m_host(std::move(host)), m_c(withDefaults(std::move(collaborators))),
      m_encryptRunner(std::make_unique<BatchRunner>(kEncryptQueue, *m_c.idleTimer)),
      m_uploadRunner(std::make_unique<BatchRunner>(kUploadQueue, *m_c.idleTimer))
{
    // A cancelled upload reports nothing: the grace releases the batch.
    m_uploadRunner->setStopGraceMs(kCancelGraceMs);
    m_session.follow(*m_encryptRunner, this, false,
                     [this](const BatchOutcome& outcome) { batchEncryptFinished(outcome); });
    // The upload bar follows the next file.
    m_session.follow(*m_uploadRunner, this, true, [this](const BatchOutcome& outcome) { batchUploadFinished(outcome); });
}

DeviceAlbumBatches::~DeviceAlbumBatches() = default;

bool DeviceAlbumBatches::isRunning() const
{
    return m_encryptRunner->isRunning() || m_uploadRunner->isRunning() || m_session.isEnding();
}

void DeviceAlbumBatches::recordUsage(int eventId)
{
    if (m_c.usage)
        m_c.usage(eventId);
}

quint64 DeviceAlbumBatches::totalSizeOfSelectedAssets() const
{
    quint64 total = 0;
    if (m_host.selection) {
        for (const ALAssetPtr& a : m_host.selection()) {
            const qint64 size = a->asset()->size();
            if (size > 0)
                total += quint64(size);
        }
    }
    return total;
}

// ---- the buttons -----------------------------------------------------------

void DeviceAlbumBatches::lockButtonClicked()
{
    recordUsage(kLockPressedEvent);
    if (m_c.existPassword()) {
        batchEncrypt();
        return;
    }
    if (!m_host.screen || m_host.screen->presentedScreen())
        return;
    ui::Screen* lock = m_c.makeLockScreen(this);
    if (lock)
        m_host.screen->presentSheet(new PaviPadNavigationController(lock), ui::kFormSheetSize, true);
}

void DeviceAlbumBatches::secretAlbumPasswordControllerDidPassVerification(PavSecretAlbumPasswordController_iPad*)
{
    closeSheetThen([this] { lockButtonClicked(); });
}

void DeviceAlbumBatches::secretAlbumPasswordControllerDidSetPassword(PavSecretAlbumPasswordController_iPad*)
{
    closeSheetThen([this] { lockButtonClicked(); });
}

void DeviceAlbumBatches::closeSheetThen(std::function<void()> next)
{
    QPointer<DeviceAlbumBatches> self(this);
    auto then = [self, next = std::move(next)] {
        if (self)
            next();
    };
    if (m_host.screen && m_host.screen->presentedScreen())
        m_host.screen->dismissModal(true, then);
    else
        then();
}

void DeviceAlbumBatches::backupButtonClicked()
{
    recordUsage(kBackupPressedEvent);
    if (isRunning())
        return;
    const BackupGate::Decision d = BackupGate::decide(m_c.cloud->isLogined(), m_c.freeSpace(),
                                                      totalSizeOfSelectedAssets(), m_c.network(), L("备份"));
    switch (d.step) {
    case BackupGate::Step::SignIn: {
        if (!m_c.makeCloudLogin || !m_host.screen || m_host.screen->presentedScreen())
            return;
        QPointer<DeviceAlbumBatches> self(this);
        ui::Screen* login = m_c.makeCloudLogin([self] {
            // The sign-in sheet closes and the backup is asked for again.
            if (self)
                self->closeSheetThen([self] { self->backupButtonClicked(); });
        });
        // The sign-in sits 50 points below where a sheet starts.
        ui::ModalHost* sheet = login ? m_host.screen->presentSheet(new PaviPadNavigationController(login),
                                                                   ui::kShortFormSheetSize, true)
                                     : nullptr;
        if (sheet)
            sheet->setContentFrame(sheet->contentFrame().translated(0, 50));
        return;
    }
    case BackupGate::Step::SpaceFull:
    case BackupGate::Step::NoNetwork:
        showAlert(d.message, 0, L("确定"));
        return;
    case BackupGate::Step::ConfirmCellular:
        showAlert(d.message, DeviceBatchNotice::kUploadOverCellularTag, L("取消"), {L("确定")});
        return;
    case BackupGate::Step::Start:
        batchUpload();
        return;
    }
}

// ---- running ---------------------------------------------------------------

bool DeviceAlbumBatches::begin(Kind kind, const QList<ALAssetPtr>& items)
{
    if (isRunning() || items.isEmpty())
        return false;
    const bool encrypt = kind == Kind::Encrypt;
    m_session.open(m_c.panelHost(), unsigned(items.size()), encrypt ? L("照片正在加密...") : L("照片正在备份..."),
                   encrypt ? kEncryptPanelTag : kUploadPanelTag, this);
    m_libraryObserver = m_c.center->addObserver(KyAssetsLibrary::kChangedNotification, [this, kind](const QVariantMap&) {
        runnerOf(kind).requestStop(BatchStopReason::LibraryChanged);
    });
    // The worker reads its own copy of the photos, never the screen's state.
    auto assets = std::make_shared<std::vector<PhotoAssetPtr>>();
    for (const ALAssetPtr& a : items)
        assets->push_back(a->asset());
    return runnerOf(kind).start(unsigned(items.size()), [this, kind, assets](BatchCompletion item) {
        const PhotoAssetPtr asset = item.index() < assets->size() ? (*assets)[item.index()] : nullptr;
        if (!asset)
            item.fail();
        else if (kind == Kind::Encrypt)
            encryptItem(asset, item.index() + 1 < assets->size() ? (*assets)[item.index() + 1] : nullptr,
                        std::move(item));
        else
            uploadItem(asset, std::move(item));
    });
}

void DeviceAlbumBatches::batchEncrypt()
{
    const QList<ALAssetPtr> items = m_host.selection ? m_host.selection() : QList<ALAssetPtr>();
    if (isRunning() || items.isEmpty())
        return;
    m_c.store->setNeedEncryptionCancel(false);
    begin(Kind::Encrypt, items);
}

void DeviceAlbumBatches::batchUpload()
{
    const QList<ALAssetPtr> items = m_host.selection ? m_host.selection() : QList<ALAssetPtr>();
    if (isRunning() || items.isEmpty())
        return;
    m_c.cloud->setNeedCancelUpload(false);
    m_namer.emplace(m_c.clock->now());
    m_targetDir = m_host.useType == kCloudPicker ? m_c.cloud->currentDir() : m_c.cloud->cloudAlbumDir();
    m_uploadInFlight = false;
    begin(Kind::Upload, items);
}

// Runs on the encrypt batch's worker.
void DeviceAlbumBatches::encryptItem(const PhotoAssetPtr& asset, const PhotoAssetPtr& next, BatchCompletion item)
{
    BatchRunner& runner = *m_encryptRunner;
    PavPhotoManager& store = *m_c.store;
    // The flag set by someone other than this batch's cancel: the library changed.
    if (store.needEncryptionCancel() && !runner.isStopRequested()) {
        runner.requestStop(BatchStopReason::LibraryChanged);
        item.fail();
        return;
    }
    // A large album's index may still be healing: the wait is not the item's
    // time, and a stop (the batch's or the store's) ends it, leaving the item undone.
    if (store.isRepairingIndex()) {
        const BatchCompletion::Wait wait = item.beginWait();
        if (!store.awaitIndex([&runner] { return runner.isStopRequested(); })) {
            item.fail();
            return;
        }
    }
    // Read and decoded while the item before was written; the next one is
    // read and decoded while this one is (unless it is stored already).
    const auto prepared = m_prefetch.take(asset);
    m_prefetch.prefetch(next && !store.isEncrypted(*next) ? next : nullptr);
    // Already in the private album: a success, not stored twice.
    if (store.isEncrypted(*asset)) {
        item.succeed();
        return;
    }
    item.finish(store.encryptAsset(*asset, prepared.get()));
}

// Runs on the upload batch's worker: the upload itself starts on the main thread.
void DeviceAlbumBatches::uploadItem(const PhotoAssetPtr& asset, BatchCompletion item)
{
    QPointer<DeviceAlbumBatches> self(this);
    MainThread::post([self, asset, item]() mutable {
        if (!self || item.isAnswered())
            return;
        DeviceAlbumBatches& me = *self;
        // An upload the watchdog gave up on stops before the next starts.
        me.cancelUploadInFlight();
        if (me.m_c.cloud->needCancelUpload() && !me.m_uploadRunner->isStopRequested()) {
            me.m_uploadRunner->requestStop(BatchStopReason::LibraryChanged);
            item.fail();
            return;
        }
        const QString source = asset->url();
        const QString name = me.m_namer->nextName(source);
        // No folder, or the account's top (which the disk refuses): the item
        // fails at once.
        if (!me.m_c.uploader || !me.m_targetDir || !me.m_targetDir->dir_father() || source.isEmpty()) {
            item.fail();
            return;
        }
        const unsigned ticket = ++me.m_uploadTicket;
        me.m_uploadInFlight = true;
        CloudBackupUploader::Callbacks callbacks;
        callbacks.progress = [item](float percent) { item.progress(percent / 100.f); };
        callbacks.done = [self, item, ticket](bool succeeded) mutable {
            if (!self || ticket != self->m_uploadTicket || !self->m_uploadInFlight)
                return;   // cancelled: the grace ends the batch
            self->m_uploadInFlight = false;
            if (succeeded) {
                self->m_c.cloud->setIsUpdated(true);
                self->m_session.setProgress(1.0f);
                item.succeed();
                return;
            }
            if (self->m_c.network() == NetworkConnectionNone)
                self->m_uploadRunner->requestStop(BatchStopReason::NetworkLost);
            item.fail();
        };
        me.m_c.uploader->upload(source, name, me.m_targetDir, std::move(callbacks));
    });
}

void DeviceAlbumBatches::photosProcessingViewCancelButtonClicked(PavPhotosProcessingView_iPad* view)
{
    if (!view || view != m_session.panel() || m_session.isEnding())
        return;
    // The user's stop goes first: a worker that sees the store flag then
    // finds the stop already requested and never takes it for a library change.
    const bool backup = view->tag() != kEncryptPanelTag;
    runnerOf(backup ? Kind::Upload : Kind::Encrypt).requestStop(BatchStopReason::User);
    m_c.raiseCancelFlag(backup);
    if (backup)
        cancelUploadInFlight();
}

void DeviceAlbumBatches::cancelUploadInFlight()
{
    if (!m_uploadInFlight)
        return;
    m_uploadInFlight = false;
    if (m_c.uploader)
        m_c.uploader->cancelCurrent();
}

void DeviceAlbumBatches::batchEncryptFinished(const BatchOutcome& outcome)
{
    m_c.store->checkpointIndex();
    finished(Kind::Encrypt, outcome);
}

void DeviceAlbumBatches::batchUploadFinished(const BatchOutcome& outcome)
{
    finished(Kind::Upload, outcome);
}

void DeviceAlbumBatches::finished(Kind kind, const BatchOutcome& outcome)
{
    m_libraryObserver = ObserverToken();
    m_session.finish(this, [this, kind, outcome] { announceEnd(kind, outcome); });
}

void DeviceAlbumBatches::announceEnd(Kind kind, const BatchOutcome& outcome)
{
    m_targetDir.reset();
    cancelUploadInFlight();
    const DeviceBatchNotice notice = DeviceBatchNotice::decide(
        kind == Kind::Encrypt ? DeviceBatchNotice::Batch::Encrypt : DeviceBatchNotice::Batch::Upload, outcome,
        m_host.useType, hideAlertSetting());
    m_lastNotice = notice;
    if (notice.popPickerNow)
        popPicker();
    showNotice(notice);
    if (m_host.useType == 0 && m_host.leaveEditMode)
        m_host.leaveEditMode();
    if (kind == Kind::Encrypt)
        m_c.store->setNeedEncryptionCancel(false);
    else
        m_c.cloud->setNeedCancelUpload(false);
    emit batchFinished();
}

std::optional<bool> DeviceAlbumBatches::hideAlertSetting() const
{
    const QString key = QString::fromLatin1(DeviceBatchNotice::kHideAlertKey);
    if (!m_c.defaults->contains(key))
        return std::nullopt;
    return m_c.defaults->boolForKey(key);
}

void DeviceAlbumBatches::showNotice(const DeviceBatchNotice& notice)
{
    if (notice.usageEvent)
        recordUsage(notice.usageEvent);
    if (notice.storeHideAlert)
        m_c.defaults->setBool(QString::fromLatin1(DeviceBatchNotice::kHideAlertKey), *notice.storeHideAlert);
    switch (notice.kind) {
    case DeviceBatchNotice::Kind::None:
        return;
    case DeviceBatchNotice::Kind::Toast:
        PavToastView_iPad::showSuccessToastViewWithMessage(notice.message, DeviceBatchNotice::kToastSeconds);
        return;
    case DeviceBatchNotice::Kind::Alert:
        showAlert(notice.message, notice.tag, notice.cancelTitle, notice.otherTitles, notice.closesInBackground);
        return;
    }
}

void DeviceAlbumBatches::showAlert(const QString& message, int tag, const QString& cancel, const QStringList& others,
                                   bool closesInBackground)
{
    ui::Alert* alert = closesInBackground ? new PavAlertView(QString(), message, this, cancel, others)
                                          : new ui::Alert(QString(), message, this, cancel, others);
    alert->setTag(tag);
    alert->show();
}

void DeviceAlbumBatches::alertViewDidDismissWithButtonIndex(ui::Alert* alert, int buttonIndex)
{
    const int tag = alert->tag();
    if (tag == DeviceBatchNotice::kEncryptNoticeTag && buttonIndex == 1)
        m_c.defaults->setBool(QString::fromLatin1(DeviceBatchNotice::kHideAlertKey), true);
    if (tag == DeviceBatchNotice::kUploadOverCellularTag && buttonIndex == 1)
        batchUpload();
    if (DeviceBatchNotice::alertClosesPicker(tag))
        popPicker();
}

void DeviceAlbumBatches::popPicker()
{
    if (m_host.useType == 0 || !m_host.screen)
        return;
    if (ui::NavigationStack* stack = m_host.screen->navigationStack()) {
        if (stack->topScreen() == m_host.screen)
            stack->pop(true);
    }
}
