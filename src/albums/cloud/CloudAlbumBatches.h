#pragma once

#include "albums/AlbumUsage.h"
#include "albums/batch/BatchOutcome.h"
#include "albums/batch/BatchRunner.h"
#include "albums/batch/BatchSession.h"
#include "albums/batch/PavPhotosProcessingView_iPad.h"
#include "albums/cloud/CloudBatchNotice.h"
#include "disk/DiskManagerDelegate.h"
#include "platform/ui/Alert.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>

class CloudItemResponse;
class DiskManager;
class IdleTimer;
class PavCloudAlbumManager;
class PhotoLibrary;

// The cloud album's two batch actions on its selected photos: "存至本地"
// downloads each one and saves its original bytes into the device photo
// library; "删除" deletes them from the cloud disk. Each runs on its own
// BatchRunner with the progress panel over the root view; the end shows the
// summary the runner's outcome calls for and leaves edit mode (the delete
// batch lists the folder again). The album state's cancel flags stop a
// batch before its next photo. Main thread.
class CloudAlbumBatches : public QObject, public ui::AlertDelegate, public PavPhotosProcessingViewDelegate {
    Q_OBJECT
public:
    static constexpr int kSavePanelTag = 50;
    static constexpr int kDeletePanelTag = 51;
    static constexpr int kDeleteConfirmTag = 100;
    static constexpr int kSaveOverCellularTag = 101;
    static constexpr int kSavePressedEvent = 27144;
    static constexpr int kDeletePressedEvent = 27146;
    static constexpr int kCancelGraceMs = 1000;
    static constexpr const char* kDownloadQueue = "CloudAlbumBatchDownloadQueue";
    static constexpr const char* kDeleteQueue = "CloudAlbumBatchDeleteQueue";

    enum class Kind { Save, Delete };

    struct Host {
        std::function<QList<DiskFilePtr>()> selection;
        // Leaves edit mode, animated; refresh lists the folder again.
        std::function<void(bool refresh)> leaveEditMode;
        // The sign-in lapsed during a batch: the screen asks for it again.
        std::function<void()> signInLapsed;
    };

    struct Collaborators {
        DiskManager* disk = nullptr;                  // default: the shared facade
        PavCloudAlbumManager* cloud = nullptr;        // default: the shared cloud album state
        std::shared_ptr<PhotoLibrary> library;        // default: the shared device library
        std::function<int()> network;                 // default: NetworkHelper
        std::function<QWidget*()> panelHost;          // default: the canvas's root screen
        AlbumUsage::Recorder usage;                   // default: the usage store
        IdleTimer* idleTimer = nullptr;               // default: the shared idle timer
    };

    CloudAlbumBatches(Host host, Collaborators collaborators, QObject* parent = nullptr);
    ~CloudAlbumBatches() override;

    // The two buttons: the confirmations, then the batch.
    void saveButtonClicked();
    void deleteButtonClicked();
    // The save ("存至本地") and delete batches over the selection, on the
    // shared runner.
    void batchDownload();
    void batchDelete();

    quint64 totalSizeOfSelectedPhotos() const;
    bool isRunning() const;
    PavPhotosProcessingView_iPad* processingView() const { return m_session.panel(); }
    BatchRunner& runner(Kind kind) const { return kind == Kind::Save ? *m_saveRunner : *m_deleteRunner; }
    // The notice shown at the end of the last batch.
    const std::optional<CloudBatchNotice>& lastNotice() const { return m_lastNotice; }
    // The photo the save batch is downloading now, or null.
    const DiskFilePtr& curDownloadPhoto() const { return m_curDownloadPhoto; }

    // PavPhotosProcessingViewDelegate
    void photosProcessingViewCancelButtonClicked(PavPhotosProcessingView_iPad* view) override;
    // ui::AlertDelegate
    void alertViewClickedButtonAtIndex(ui::Alert* alert, int buttonIndex) override;

signals:
    // After the notice of a batch was decided (and shown).
    void batchFinished();

private:
    bool begin(Kind kind);
    // Main thread: starts one item's request.
    void saveItem(const DiskFilePtr& file, BatchCompletion item);
    void deleteItem(const DiskFilePtr& file, BatchCompletion item);
    // The item's response, its sign-in lapse stopping the batch.
    std::shared_ptr<CloudItemResponse> makeResponse(Kind kind);
    void saveDownloaded(const DiskFilePtr& file, BatchCompletion item);
    bool cancelFlag(Kind kind) const;
    void setCancelFlag(Kind kind, bool value);
    // The ends of the two batches: the summary their outcome calls for.
    void batchDownloadFinished(const BatchOutcome& outcome) { finished(Kind::Save, outcome); }
    void batchDeleteFinished(const BatchOutcome& outcome) { finished(Kind::Delete, outcome); }
    void finished(Kind kind, const BatchOutcome& outcome);
    // After the panel has shown its last count: the notice and the clean-up.
    void announceEnd(Kind kind, const BatchOutcome& outcome);
    void showAlert(const QString& message, int tag = 0, const QStringList& others = {});
    void recordUsage(int eventId);

    Host m_host;
    Collaborators m_c;
    BatchSession m_session;
    // The request in flight and the file being downloaded (the one a cancel stops).
    std::shared_ptr<CloudItemResponse> m_response;
    DiskFilePtr m_curDownloadPhoto;
    std::optional<CloudBatchNotice> m_lastNotice;
    // Declared last: destroyed first, while what their item work uses is there.
    std::unique_ptr<BatchRunner> m_saveRunner;
    std::unique_ptr<BatchRunner> m_deleteRunner;
};
