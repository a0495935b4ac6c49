#pragma once

#include "Public/PavRefreshTableHeaderDelegate.h"
#include "albums/AlbumUsage.h"
#include "albums/batch/PavPhotosProcessingViewDelegate.h"
#include "albums/batch/BatchSession.h"
#include "albums/batch/PavPhotosProcessingView_iPad.h"
#include "albums/container/AlbumScreen.h"
#include "albums/device/DayTitle.h"
#include "albums/lock/PavSecretAlbumPasswordControllerDelegate.h"
#include "albums/private/SecretAlbumBatch.h"
#include "albums/private/SecretAlbumGate.h"
#include "albums/private/SecretAlbumGrid.h"
#include "albums/widgets/PavAlbumTableHeaderView_iPad.h"
#include "albums/widgets/PavSecretPhotoView_iPad.h"
#include "platform/core/NotificationCenter.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/Alert.h"
#include "platform/ui/SectionedTable.h"

#include <QImage>
#include <QPointer>

#include <functional>

class Camera;

class PavAlbumEmptyView_iPad;
class PavAlbumPasswordManager;
class PavPhotoManager;
class PavRefreshTableHeaderView;
class SecretAlbumBar;
class UserDefaults;

// The private album: the store's items as a grid grouped by the day they were
// stored, newest first, behind the four-digit lock. While the album is locked
// it loads and shows nothing and asks for the password whenever it appears;
// every re-lock empties the grid and drops reload answers still in flight.
// In edit mode the chosen items are moved out into the photo library or
// deleted, as batches with the progress panel.
class PavSecretAlbumViewController_iPad : public AlbumScreen,
                                          public PavSecretPhotoViewDelegate,
                                          public PavAlbumTableHeaderViewDelegate,
                                          public PavRefreshTableHeaderDelegate,
                                          public PavSecretAlbumPasswordControllerDelegate,
                                          public PavPhotosProcessingViewDelegate,
                                          public ui::AlertDelegate,
                                          public ui::ActionSheetDelegate,
                                          public ui::SectionedTableSource {
    Q_OBJECT
public:
    static constexpr const char* kShouldCheckUpdateNotification = "KyAlbumShouldCheckUpdateNotification";
    static constexpr int kDeleteConfirmTag = 110;
    static constexpr int kMoveOutPanelTag = 50;
    static constexpr int kDeletePanelTag = 52;
    static constexpr int kOpenDelayMs = 100;
    // How often a reload looks whether the store's index is whole yet.
    static constexpr int kIndexPollMs = 100;

    struct Collaborators {
        PavPhotoManager* store = nullptr;              // default: the shared store
        PavAlbumPasswordManager* passwords = nullptr;  // default: the shared manager
        const Clock* clock = nullptr;                  // default: the system clock
        QTimeZone zone = QTimeZone::systemTimeZone();
        AlbumUsage::Recorder usage;                    // default: the usage store
        NotificationCenter* center = nullptr;          // default: the default centre
        UserDefaults* defaults = nullptr;              // default: the standard user defaults
        IdleTimer* idleTimer = nullptr;                // default: the shared idle timer
        // Opens the private browser on an item and the list it belongs to;
        // returns the presented screen (null when none), closed on a re-lock.
        // Default: the private photo browser over the whole application.
        std::function<ui::Screen*(const PavPhotoModelPtr& photo, const PavPhotoModelList& photos)> openPhoto;
        // The device album as the picker that adds items; default: useType 1.
        std::function<ui::Screen*()> makePicker;
        // The camera "拍照" takes photos with; default: the device's.
        Camera* camera = nullptr;
        // Where the batch panel lies; default: the whole canvas.
        std::function<QWidget*()> panelHost;
    };

    explicit PavSecretAlbumViewController_iPad(QWidget* parent = nullptr);
    PavSecretAlbumViewController_iPad(Collaborators collaborators, QWidget* parent = nullptr);
    ~PavSecretAlbumViewController_iPad() override;

    const SecretAlbumGrid& grid() const { return m_grid; }
    bool isTableReloading() const { return m_isTableReloading; }
    // A camera photo was just stored: the next reload scrolls to the top.
    bool isSavingPhoto() const { return m_isSavingPhoto; }
    bool isLoading() const { return m_loading; }
    // Also while the panel of a finished batch shows its last count.
    bool isBatchRunning() const { return m_batch.isRunning() || m_session.isEnding(); }
    SecretAlbumBatch& batch() { return m_batch; }

    ui::SectionedTable* encryptTableView() const { return m_table; }
    SecretAlbumBar* bottomView() const { return m_bar; }
    PavAlbumEmptyView_iPad* emptyView() const { return m_emptyView; }
    PavPhotosProcessingView_iPad* processingView() const { return m_session.panel(); }
    ui::Screen* lockSheet() const { return m_lockSheet; }
    PavRefreshTableHeaderView* refreshTableHeaderView() const { return m_refreshTableHeaderView; }

    void verify();
    void getSecretData();
    QString transformDateString(const QDateTime& date) const;
    void enterEditModeAnimated(bool animated);
    void quitEditModeNeedRefreshData(bool refresh, bool animated);
    void updateEditDisplay();
    void backToNormalMode() override;
    void secretAlbumShouldCheckVerification();

    void editButtonClicked();
    void cancelButtonClicked();
    void addButtonClicked();
    void unlockButtonClicked();
    void deleteButtonClicked();
    void cameraAddButtonClicked();
    void systemAlbumAddButtonClicked();

    // PavSecretPhotoViewDelegate
    bool isEditInSecretPhotoView() override { return m_isEditing; }
    void secretPhotoViewDidSelect(const PavPhotoModelPtr& photo) override;
    void secretPhotoViewSelected(const PavPhotoModelPtr& photo) override;
    // PavAlbumTableHeaderViewDelegate
    bool isAlbumTableHeaderViewEnable() override { return m_isEditing; }
    void albumTableHeaderView(PavAlbumTableHeaderView_iPad* header, bool checked) override;
    // PavRefreshTableHeaderDelegate
    void pavRefreshTableHeaderDidTriggerRefresh(PavRefreshTableHeaderView* view) override;
    bool pavRefreshTableHeaderDataSourceIsLoading(PavRefreshTableHeaderView*) override { return m_isTableReloading; }
    QDateTime pavRefreshTableHeaderDataSourceLastUpdated(PavRefreshTableHeaderView* view) override;
    // PavSecretAlbumPasswordControllerDelegate
    void secretAlbumPasswordControllerDidPassVerification(PavSecretAlbumPasswordController_iPad* controller) override;
    void secretAlbumPasswordControllerDidSetPassword(PavSecretAlbumPasswordController_iPad* controller) override;
    void secretAlbumPasswordControllerWillClose(PavSecretAlbumPasswordController_iPad* controller) override;
    // PavPhotosProcessingViewDelegate
    void photosProcessingViewCancelButtonClicked(PavPhotosProcessingView_iPad* view) override;
    // ui::AlertDelegate
    void alertViewDidDismissWithButtonIndex(ui::Alert* alert, int buttonIndex) override;
    // ui::ActionSheetDelegate
    void actionSheetDidDismissWithButtonIndex(ui::ActionSheet* sheet, int buttonIndex) override;
    // ui::SectionedTableSource
    int numberOfSections() override { return m_grid.sectionCount(); }
    int numberOfRows(int section) override { return m_grid.rowCount(section); }
    int heightForRow(int section, int row) override { return m_grid.rowHeight(section, row); }
    int heightForHeader(int section) override;
    QWidget* viewForHeader(int section) override;
    QWidget* cellForRow(int section, int row) override;

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

private:
    void recordUsage(int eventId);
    // A reload waits for the store's heal of its index, then reads the list
    // on a worker.
    void awaitIndex(unsigned ticket);
    void loadSecretDataFromDB(unsigned ticket);
    void applyList(unsigned ticket, const PavPhotoModelList& list);
    void doneLoadingTableViewData();
    void endRefresh();
    void updateAlbumIcon(const PavPhotoModelList& list);
    void clearDisplayData();
    void albumLocked();
    // Switches the container to the device album while this album is shown
    // and not asking for its password.
    void handTabBack();
    void forEachVisibleTile(const std::function<void(PavSecretPhotoView_iPad*)>& fn);
    void refreshVisibleHeaders();
    void encryptImage(const QImage& image);
    // The two batches on the selected items, and their ends.
    void batchDecrypt();
    void batchDelete();
    void startBatch(SecretAlbumBatch::Kind kind);
    void batchDecryptFinished(const BatchOutcome& outcome);
    void batchDeleteFinished(const BatchOutcome& outcome);
    void batchProgressed(const BatchCounts& counts);
    void batchFinished(SecretAlbumBatch::Kind kind, const BatchOutcome& outcome);
    void showSummary(SecretAlbumBatch::Kind kind, const BatchCounts& counts);

    Collaborators m_c;
    PavPhotoManager& m_store;
    PavAlbumPasswordManager& m_passwords;
    DayTitle m_dayTitle;
    SecretAlbumGrid m_grid;
    SecretAlbumGate m_gate;
    bool m_isEditing = false;
    bool m_isTableReloading = false;
    bool m_isSavingPhoto = false;
    bool m_loading = false;
    bool m_openPending = false;
    int m_restoredShown = -1;  // the restored count the loading view says
    quint64 m_iconGeneration = 0;

    ui::SectionedTable* m_table = nullptr;
    SecretAlbumBar* m_bar = nullptr;
    PavAlbumEmptyView_iPad* m_emptyView = nullptr;
    PavRefreshTableHeaderView* m_refreshTableHeaderView = nullptr;
    BatchSession m_session;
    QPointer<ui::Screen> m_lockSheet;
    QPointer<ui::Screen> m_browser;
    ObserverToken m_checkObserver;
    ObserverToken m_backgroundObserver;
    // Last: its runners wait for item work that uses the store.
    SecretAlbumBatch m_batch;
};
