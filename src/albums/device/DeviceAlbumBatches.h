#pragma once

#include "albums/AlbumUsage.h"
#include "albums/batch/BatchOutcome.h"
#include "albums/batch/BatchRunner.h"
#include "albums/batch/BatchSession.h"
#include "albums/batch/PavPhotosProcessingView_iPad.h"
#include "albums/device/BackupFileNamer.h"
#include "albums/device/CloudBackupUploader.h"
#include "albums/device/DeviceBatchNotice.h"
#include "albums/lock/PavSecretAlbumPasswordControllerDelegate.h"
#include "albums/store/ALAsset.h"
#include "albums/store/ImportPrefetch.h"
#include "platform/core/NotificationCenter.h"
#include "platform/ui/Alert.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>

class Clock;
class IdleTimer;
class PavCloudAlbumManager;
class PavPhotoManager;
class UserDefaults;

namespace ui {
class Screen;
}

// The device album's two batch actions on its selected photos: "加密" moves
// them into the private album, "备份" uploads them into the cloud album's
// folder. Each runs on its own BatchRunner with the progress panel over the
// root view; the end shows the summary the runner's outcome calls for. A
// change of the device library, the store's cancel flag or the cloud
// album's cancel flag stop the batch before its next photo. Main thread.
class DeviceAlbumBatches : public QObject,
                           public ui::AlertDelegate,
                           public PavPhotosProcessingViewDelegate,
                           public PavSecretAlbumPasswordControllerDelegate {
    Q_OBJECT
public:
    static constexpr int kEncryptPanelTag = 50;
    static constexpr int kUploadPanelTag = 51;
    static constexpr int kLockPressedEvent = 27107;
    static constexpr int kBackupPressedEvent = 27129;
    static constexpr int kCancelGraceMs = 1000;
    static constexpr const char* kEncryptQueue = "SystemAlbumBatchEncryptQueue";
    static constexpr const char* kUploadQueue = "SystemAlbumBatchUploadQueue";

    // The screen the batches belong to.
    struct Host {
        ui::Screen* screen = nullptr;   // presents the sheets; a picker pops it
        int useType = 0;                // 0 album tab, 1 private picker, 2 cloud picker
        std::function<QList<ALAssetPtr>()> selection;
        std::function<void()> leaveEditMode;   // the album tab, animated
    };

    struct Collaborators {
        PavPhotoManager* store = nullptr;          // default: the shared private store
        PavCloudAlbumManager* cloud = nullptr;     // default: the shared cloud album state
        std::shared_ptr<CloudBackupUploader> uploader;   // default: the cloud disk
        // The account's free space; nullopt when unknown. Default: the disk's current user.
        std::function<std::optional<qint64>()> freeSpace;
        std::function<bool()> existPassword;       // default: the album password manager
        // Makes the first-password lock screen; default: type 3.
        std::function<ui::Screen*(PavSecretAlbumPasswordControllerDelegate* delegate)> makeLockScreen;
        // Makes the cloud sign-in screen; onSuccess runs after a sign-in.
        std::function<ui::Screen*(std::function<void()> onSuccess)> makeCloudLogin;
        std::function<int()> network;              // default: NetworkHelper
        std::function<QWidget*()> panelHost;       // default: the canvas's root screen
        UserDefaults* defaults = nullptr;          // default: the standard user defaults
        AlbumUsage::Recorder usage;                // default: the usage store
        NotificationCenter* center = nullptr;      // default: the default centre
        IdleTimer* idleTimer = nullptr;            // default: the shared idle timer
        const Clock* clock = nullptr;              // default: the system clock
        // Raises the store flag that stops a batch before its next photo:
        // the private store's needEncryptionCancel for a move, the cloud
        // album's needCancelUpload for a backup. Default: those stores.
        std::function<void(bool backup)> raiseCancelFlag;
    };

    DeviceAlbumBatches(Host host, Collaborators collaborators, QObject* parent = nullptr);
    ~DeviceAlbumBatches() override;

    // The two buttons.
    void lockButtonClicked();
    void backupButtonClicked();

    // Sum of the selected photos' sizes (64 bits).
    quint64 totalSizeOfSelectedAssets() const;

    bool isRunning() const;
    PavPhotosProcessingView_iPad* processingView() const { return m_session.panel(); }
    BatchRunner& encryptRunner() { return *m_encryptRunner; }
    BatchRunner& uploadRunner() { return *m_uploadRunner; }
    // The notice shown at the end of the last batch.
    const std::optional<DeviceBatchNotice>& lastNotice() const { return m_lastNotice; }

    // PavPhotosProcessingViewDelegate
    void photosProcessingViewCancelButtonClicked(PavPhotosProcessingView_iPad* view) override;
    // ui::AlertDelegate
    void alertViewDidDismissWithButtonIndex(ui::Alert* alert, int buttonIndex) override;
    // PavSecretAlbumPasswordControllerDelegate
    void secretAlbumPasswordControllerDidPassVerification(PavSecretAlbumPasswordController_iPad*) override;
    void secretAlbumPasswordControllerDidSetPassword(PavSecretAlbumPasswordController_iPad*) override;

signals:
    // After the notice of a batch was decided (and shown).
    void batchFinished();

private:
    enum class Kind { Encrypt, Upload };

    // The two batches and their ends, served by the shared runner.
    void batchEncrypt();
    void batchUpload();
    void batchEncryptFinished(const BatchOutcome& outcome);
    void batchUploadFinished(const BatchOutcome& outcome);
    bool begin(Kind kind, const QList<ALAssetPtr>& items);
    void encryptItem(const PhotoAssetPtr& asset, const PhotoAssetPtr& next, BatchCompletion item);
    void uploadItem(const PhotoAssetPtr& asset, BatchCompletion item);
    void finished(Kind kind, const BatchOutcome& outcome);
    // After the panel has shown its last count: the notice and the clean-up.
    void announceEnd(Kind kind, const BatchOutcome& outcome);
    void showNotice(const DeviceBatchNotice& notice);
    void showAlert(const QString& message, int tag, const QString& cancel, const QStringList& others = {},
                   bool closesInBackground = false);
    // Stops the upload in flight and discards its partly sent file.
    void cancelUploadInFlight();
    void popPicker();
    void closeSheetThen(std::function<void()> next);
    std::optional<bool> hideAlertSetting() const;
    BatchRunner& runnerOf(Kind kind) const { return kind == Kind::Encrypt ? *m_encryptRunner : *m_uploadRunner; }
    void recordUsage(int eventId);

    Host m_host;
    Collaborators m_c;
    BatchSession m_session;
    std::optional<BackupFileNamer> m_namer;
    std::shared_ptr<DiskDir> m_targetDir;
    bool m_uploadInFlight = false;
    unsigned m_uploadTicket = 0;
    std::optional<DeviceBatchNotice> m_lastNotice;
    ObserverToken m_libraryObserver;
    ImportPrefetch m_prefetch;   // the encrypt batch's worker only
    // Declared last: destroyed first, while what their item work uses is there.
    std::unique_ptr<BatchRunner> m_encryptRunner;
    std::unique_ptr<BatchRunner> m_uploadRunner;
};
