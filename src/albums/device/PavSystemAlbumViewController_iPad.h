#pragma once

#include "Public/PavRefreshTableHeaderDelegate.h"
#include "albums/AlbumUsage.h"
#include "albums/container/AlbumScreen.h"
#include "albums/device/AssetSelection.h"
#include "albums/device/DaySections.h"
#include "albums/device/DayTitle.h"
#include "albums/device/EditBar.h"
#include "albums/device/LoadGate.h"
#include "albums/store/PavAssetsManager.h"
#include "albums/widgets/PavAlbumTableHeaderView_iPad.h"
#include "albums/widgets/PavDoubleSlider.h"
#include "albums/widgets/PavSystemAssetViewDelegate.h"
#include "platform/core/NotificationCenter.h"
#include "platform/ui/SectionedTable.h"

#include <QHash>
#include <QPixmap>
#include <QTimer>

#include <functional>

class DeviceAlbumBar;
class DeviceAlbumBatches;
class PavAlbumEmptyView_iPad;
class PavRefreshTableHeaderView;

// The device album: the camera roll's photos or videos as a grid grouped by
// day, newest first, with a photos/videos switch, pull to refresh and an
// edit mode that selects photos per item or per day for the two batch
// actions. Also the photo picker of the private album (useType 1) and the
// cloud album (useType 2): a picker starts in edit mode with its one action
// and closes itself on cancel.
class PavSystemAlbumViewController_iPad : public AlbumScreen,
                                          public PavAssetsManagerDelegate,
                                          public PavSystemAssetViewDelegate,
                                          public PavAlbumTableHeaderViewDelegate,
                                          public PavDoubleSliderDelegate,
                                          public PavRefreshTableHeaderDelegate,
                                          public ui::SectionedTableSource {
    Q_OBJECT
public:
    static constexpr const char* kShouldCheckUpdateNotification = "KyAlbumShouldCheckUpdateNotification";
    static constexpr int kOpenDelayMs = 100;

    struct Collaborators {
        PavAssetsManager* reader = nullptr;        // default: the shared reader
        const Clock* clock = nullptr;              // default: the system clock
        QTimeZone zone = QTimeZone::systemTimeZone();
        AlbumUsage::Recorder usage;                // default: the usage store
        NotificationCenter* center = nullptr;      // default: the default centre
        // Whether the album tab is in front; default: the container is on screen.
        std::function<bool()> albumTabShown;
        // Stops running batches before their next item (true: both the
        // private store's and the cloud album's cancel flags) or, at load,
        // clears the private store's (false). Default: those stores.
        std::function<void(bool)> setCancelFlags;
        // Opens the photo browser on the tapped photo and the photo list
        // (default: the device photo browser over the whole application).
        std::function<void(const ALAssetPtr& asset, const QList<ALAssetPtr>& photos)> openPhoto;
        // The batch actions: lock (into the private album) or backup (to the
        // cloud). Default: the screen's own DeviceAlbumBatches.
        std::function<void(EditBar::Entry action)> batchAction;
    };

    explicit PavSystemAlbumViewController_iPad(int useType = 0, QWidget* parent = nullptr);
    PavSystemAlbumViewController_iPad(int useType, Collaborators collaborators, QWidget* parent = nullptr);
    ~PavSystemAlbumViewController_iPad() override;

    int useType() const { return m_useType; }
    bool isEditing() const { return m_isEditing; }
    bool isUpdating() const { return m_gate.isUpdating(); }
    bool needUpdate() const { return m_gate.needUpdate(); }
    bool isTableReloading() const { return m_isTableReloading; }
    int loadedKind() const { return m_loadedKind; }
    const QList<ALAssetPtr>& assetsArray() const { return m_assetsArray; }
    const QList<ALAssetPtr>& photoAssetsArray() const { return m_photoAssetsArray; }
    QList<QDate> sortedDateKeys() const;
    QList<ALAssetPtr> selectedAssets() const;

    ui::SectionedTable* assetsTableView() const { return m_table; }
    DeviceAlbumBar* bar() const { return m_bar; }
    PavAlbumEmptyView_iPad* emptyView() const { return m_emptyView; }
    PavAlbumEmptyView_iPad* locationDisabledView() const { return m_locationDisabledView; }
    PavRefreshTableHeaderView* refreshHeaderView() const { return m_refreshHeader; }
    // The batch actions, when the screen runs its own (no batchAction given).
    DeviceAlbumBatches* batches() const { return m_batches; }

    void getAssetsData();
    void checkUpdate();
    // The day sections of a listing, newest day first (any thread).
    static DaySections sortAssets(const QList<ALAssetPtr>& assets, const QTimeZone& zone);
    QString transformDateString(const QDateTime& date) const;
    bool isAssetsAllChecked(const QDate& day) const;
    void editButtonClicked(EditBar::Entry entry);
    void cancelButtonClicked();
    void enterEditModeAnimated(bool animated);
    void quitEditModeAnimated(bool animated);
    void updateEditDisplay();
    void assetsLibraryDidChanged();
    void systemAlbumShouldCheckUpdate();
    void backToNormalMode() override;
    // A picker belongs to no album tab: it keeps no container.
    void setContainerController(AlbumHost* container) override;

    // PavAssetsManagerDelegate
    void assetsManagerDidUpdateAssetsArray(const QList<ALAssetPtr>& assets, const QVariant& object) override;
    void assetsManagerFailedUpdatingWithError(const AssetsLibraryError& error, const QVariant& object) override;
    void assetsManagerDidCheckAssetsLibraryIsAvailable(bool available, const QVariant& object) override;
    void firstPhotoOfAssetsManager(const ALAssetPtr& asset) override;
    // PavSystemAssetViewDelegate
    bool editStateOfSystemAssetViewDelegate() override { return m_isEditing; }
    void systemAssetViewDidSelect(const ALAssetPtr& asset) override;
    void systemAssetViewSelected(const ALAssetPtr& asset) override;
    // PavAlbumTableHeaderViewDelegate
    bool isAlbumTableHeaderViewEnable() override { return m_isEditing; }
    void albumTableHeaderView(PavAlbumTableHeaderView_iPad* header, bool checked) override;
    // PavDoubleSliderDelegate
    void valueChangedInSlider(PavDoubleSlider* slider) override;
    // PavRefreshTableHeaderDelegate
    void pavRefreshTableHeaderDidTriggerRefresh(PavRefreshTableHeaderView* view) override;
    bool pavRefreshTableHeaderDataSourceIsLoading(PavRefreshTableHeaderView*) override { return m_isTableReloading; }
    QDateTime pavRefreshTableHeaderDataSourceLastUpdated(PavRefreshTableHeaderView* view) override;
    // ui::SectionedTableSource
    int numberOfSections() override;
    int numberOfRows(int section) override;
    int heightForRow(int section, int row) override;
    int heightForHeader(int section) override;
    QWidget* viewForHeader(int section) override;
    QWidget* cellForRow(int section, int row) override;
    // The item views of one row of the grid, made afresh.
    QList<QWidget*> assetsViewsForRowAtIndexPath(int section, int row);

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

private:
    void issueLoad();
    // The album tab is the selected tab and its container shows this album.
    bool isAlbumTabInFront() const;
    void applyListing(const LoadGate::Ticket& ticket, const QList<ALAssetPtr>& assets, const DaySections& sections);
    void endLoad(const LoadGate::Ticket& ticket);
    void showRefused();
    void applyBar();
    int perRow() const;
    QStringList photoUrlsOfSection(int section) const;
    void refreshMarks();
    // Rebuilds the grid; tiles of photos already shown keep their picture.
    void reloadGrid();
    void showVideoAlert();
    void open(const ALAssetPtr& asset, const QList<ALAssetPtr>& photos);
    void recordUsage(int eventId);

    int m_useType;
    Collaborators m_c;
    PavAssetsManager* m_reader;
    DayTitle m_dayTitle;
    LoadGate m_gate;
    AssetSelection m_selection;
    EditBar::Entry m_entry = EditBar::Entry::Lock;
    bool m_isEditing = false;
    bool m_isTableReloading = false;
    bool m_libraryRefused = false;
    QString m_loggedLibraryError;  // the last library error written to the log
    bool m_openPending = false;
    int m_loadedKind = 0;
    // Whether the answer being delivered is for the current load.
    bool m_answerAccepted = false;
    quint64 m_iconGeneration = 0;

    QList<ALAssetPtr> m_assetsArray;       // as listed; the sections index it
    QList<ALAssetPtr> m_photoAssetsArray;  // newest first
    DaySections m_sections;
    // During reloadGrid: the pictures the old tiles showed, by asset URL.
    QHash<QString, QPixmap> m_shownThumbnails;

    ui::SectionedTable* m_table = nullptr;
    DeviceAlbumBar* m_bar = nullptr;
    PavAlbumEmptyView_iPad* m_emptyView = nullptr;
    PavAlbumEmptyView_iPad* m_locationDisabledView = nullptr;
    PavRefreshTableHeaderView* m_refreshHeader = nullptr;
    QTimer m_checkUpdateTimer;
    DeviceAlbumBatches* m_batches = nullptr;
    ObserverToken m_libraryObserver;
    ObserverToken m_checkObserver;
};
