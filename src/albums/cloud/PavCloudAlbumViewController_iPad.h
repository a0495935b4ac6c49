#pragma once

#include "Public/PavRefreshTableHeaderDelegate.h"
#include "albums/AlbumUsage.h"
#include "albums/cloud/CloudAlbumBatches.h"
#include "albums/cloud/CloudAlbumListing.h"
#include "albums/cloud/CloudListingRequests.h"
#include "albums/cloud/PavCloudAlbumLoginDelegate.h"
#include "albums/cloud/PavCloudPhotoViewDelegate.h"
#include "albums/container/AlbumScreen.h"
#include "albums/device/AssetSelection.h"
#include "disk/DiskManagerDelegate.h"
#include "platform/core/NotificationCenter.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/SectionedTable.h"

#include <QImage>
#include <QPointer>
#include <QTimer>

#include <functional>

class Camera;

class CloudAlbumBar;
class CloudCameraUpload;
class DiskBackupUploader;
class DiskManager;
class PavAlbumEmptyView_iPad;
class PavCloudAlbumManager;
class PavDiskUserInfoManager;
class PavRefreshTableHeaderView;
class QLabel;

namespace ui {
class ActivityIndicator;
class ImageView;
}

// The cloud album: the folder "云端相册" of the signed-in cloud-disk account
// (or, on a pushed copy of this screen, one of its sub-folders) as a grid of
// five per row, folders first, then the complete photos, newest first, in
// pages of 35. It asks for the sign-in when the album is signed out (or the
// disk signed in to another account meanwhile), opens folders and photos,
// adds photos from the device album or the camera, and in edit mode saves
// the chosen photos to the device library or deletes them. Answers for a
// folder it no longer shows are dropped. The grid is built in
// PavCloudAlbumViewController_iPad.cpp; the add menu, the screens it opens
// and the sign-in sheet in PavCloudAlbumViewController_iPadSheets.cpp.
class PavCloudAlbumViewController_iPad : public AlbumScreen,
                                         public DiskManagerDelegate,
                                         public PavCloudPhotoViewDelegate,
                                         public PavCloudAlbumLoginDelegate,
                                         public PavRefreshTableHeaderDelegate,
                                         public ui::ActionSheetDelegate,
                                         public ui::SectionedTableSource {
    Q_OBJECT
public:
    static constexpr const char* kLogoutNotification = "KyCloudAlbumLogoutNotification";
    static constexpr int kNextPageDelayMs = 1000;

    struct Collaborators {
        DiskManager* disk = nullptr;                   // default: the shared facade
        PavCloudAlbumManager* cloud = nullptr;         // default: the shared cloud album state
        PavDiskUserInfoManager* savedAccount = nullptr;   // default: the saved disk account
        // Makes the sign-in sheet; default: the cloud album's sign-in.
        std::function<ui::Screen*(PavCloudAlbumLoginDelegate* delegate)> makeLogin;
        // Makes the device album's picker (useType 2); default: the device album.
        std::function<ui::Screen*()> makePicker;
        // Opens the cloud photo browser on a photo and the shown photos; default: the cloud photo browser.
        std::function<void(const DiskFilePtr& photo, const QList<DiskFilePtr>& photos)> openPhoto;
        // The camera of the camera upload; default: the device's.
        Camera* camera = nullptr;
        std::function<int()> network;                  // default: NetworkHelper
        AlbumUsage::Recorder usage;                    // default: the usage store
        NotificationCenter* center = nullptr;          // default: the default centre
        // The batches' own (the disk and the album state above are shared).
        CloudAlbumBatches::Collaborators batches;
    };

    explicit PavCloudAlbumViewController_iPad(QWidget* parent = nullptr);
    PavCloudAlbumViewController_iPad(Collaborators collaborators, bool isSubPath = false, DiskDirPtr dir = {},
                                     QWidget* parent = nullptr);
    ~PavCloudAlbumViewController_iPad() override;

    bool isSubPath() const { return m_isSubPath; }
    bool isEditing() const { return m_isEditing; }
    bool isTableReloading() const { return m_isTableReloading; }
    // A listing is awaited (only the newest request's answer is applied).
    bool isListing() const { return m_listingRequests->isWaiting(); }
    const DiskDirPtr& currentDir() const { return m_currentDir; }
    const CloudAlbumListing& listing() const { return m_listing; }
    QList<DiskFilePtr> selectedPhotos() const;
    CloudCameraUpload& cameraUpload() { return *m_cameraUpload; }
    CloudAlbumBatches& batches() { return *m_batches; }

    ui::SectionedTable* cloudTableView() const { return m_table; }
    PavRefreshTableHeaderView* refreshTableHeaderView() const { return m_refreshTableHeaderView; }
    // The "上拉加载更多" row and its parts.
    QWidget* cloudMoreCell() const { return m_cloudMoreCell; }
    QLabel* cloudMoreLabel() const { return m_cloudMoreLabel; }
    QLabel* cloudMoreLoadingLabel() const { return m_cloudMoreLoadingLabel; }
    ui::ActivityIndicator* cloudActivityIndicatorView() const { return m_cloudActivityIndicatorView; }
    CloudAlbumBar* bottomView() const { return m_bar; }
    QWidget* topView() const { return m_topView; }
    QLabel* titleLabel() const { return m_titleLabel; }
    ui::ImageView* kyIcon() const { return m_kyIcon; }
    PavAlbumEmptyView_iPad* emptyView() const { return m_emptyView; }
    PavAlbumEmptyView_iPad* noNetworkView() const { return m_noNetworkView; }

    // AlbumScreen
    void refreshData() override;
    void backToNormalMode() override;

    void getPathList();
    void clearDisplayData();
    void updateTopView();
    void loadNextPage();
    void cloudAlbumLogout();
    void showLoginViewController();
    void editButtonClicked();
    void addButtonClicked();
    void enterEditModeAnimated(bool animated);
    void quitEditModeNeedRefreshData(bool refresh, bool animated);
    void updateEditDisplay();
    // The camera's picture: uploaded into the folder shown.
    void imagePickerDidFinish(const QImage& image);

    // DiskManagerDelegate
    void fileDidQueryDirListSuccess(const DiskDirPtr& dir, const QList<DiskFilePtr>& files,
                                    const QList<DiskDirPtr>& dirs) override;
    void fileDidQueryDirListFail(const DiskDirPtr& dir, const QString& message) override;
    void thumbnailDownloadSuccess(const DiskFilePtr& file) override;
    void thumbnailDonwloadFail(const DiskFilePtr& file, const DiskError& error) override;
    void fileRequireLogin() override;
    // PavCloudPhotoViewDelegate
    bool editStateOfCloudPhotoViewDelegate() override { return m_isEditing; }
    void cloudPhotoViewDidClick(const CloudEntry& entry, int type) override;
    void cloudPhotoViewSelected(const CloudEntry& entry, int type) override;
    // PavCloudAlbumLoginDelegate
    void cloudAlbumLoginSuccess() override;
    void cloudAlbumLoginCancel() override;
    // PavRefreshTableHeaderDelegate
    void pavRefreshTableHeaderDidTriggerRefresh(PavRefreshTableHeaderView* view) override;
    bool pavRefreshTableHeaderDataSourceIsLoading(PavRefreshTableHeaderView*) override { return m_isTableReloading; }
    QDateTime pavRefreshTableHeaderDataSourceLastUpdated(PavRefreshTableHeaderView* view) override;
    // ui::ActionSheetDelegate
    void actionSheetClickedButtonAtIndex(ui::ActionSheet* sheet, int buttonIndex) override;
    // ui::SectionedTableSource
    int numberOfSections() override { return 1; }
    int numberOfRows(int section) override;
    int heightForRow(int section, int row) override;
    int heightForHeader(int) override { return 0; }
    QWidget* viewForHeader(int) override { return nullptr; }
    QWidget* cellForRow(int section, int row) override;
    int heightForFooter(int) override { return CloudAlbumListing::kFooterHeight; }

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static constexpr int kCloudAlbumType = 2;   // the container's index of this album

    void buildTopView();
    void buildMoreCell();
    void layoutToSize();
    bool checkNetwork();
    void endRefresh();
    void updateAlbumIconWithPhoto(const DiskFilePtr& photo);
    void showAlbumIcon(const QString& thumbPath);
    void refreshVisibleMarks();
    void popToRoot(bool animated);
    PavCloudAlbumViewController_iPad* rootCloudScreen() const;
    void openDeviceAlbum();
    void openCamera();
    void showAlert(const QString& message);
    void maybeLoadNextPage();
    // Rows that came back into view ask again for the thumbnails that failed.
    void retryRowsShownAgain();
    void recordUsage(int eventId);
    // An upload an earlier run left unfinished completed in the folder of dirKey.
    void resumedUploadCompleted(const QString& dirKey);

    Collaborators m_c;
    DiskManager& m_disk;
    PavCloudAlbumManager& m_cloud;
    PavDiskUserInfoManager& m_saved;
    bool m_isSubPath;
    DiskDirPtr m_currentDir;
    CloudAlbumListing m_listing;
    AssetSelection m_selection;   // by file id, in the order of choosing
    DiskFilePtr m_iconPhoto;      // the cover whose thumbnail is awaited
    bool m_isEditing = false;
    bool m_isTableReloading = false;
    bool m_pageLoading = false;

    QWidget* m_topView = nullptr;
    ui::ImageView* m_topImage = nullptr;
    QLabel* m_titleLabel = nullptr;
    ui::ImageView* m_kyIcon = nullptr;
    ui::SectionedTable* m_table = nullptr;
    PavRefreshTableHeaderView* m_refreshTableHeaderView = nullptr;
    QPointer<QWidget> m_cloudMoreCell;
    QLabel* m_cloudMoreLabel = nullptr;
    QLabel* m_cloudMoreLoadingLabel = nullptr;
    ui::ActivityIndicator* m_cloudActivityIndicatorView = nullptr;
    CloudAlbumBar* m_bar = nullptr;
    PavAlbumEmptyView_iPad* m_emptyView = nullptr;
    PavAlbumEmptyView_iPad* m_noNetworkView = nullptr;
    QTimer m_nextPageTimer;
    ObserverToken m_logoutObserver;
    ObserverToken m_resumedUploadObserver;
    QList<QPointer<QWidget>> m_cellsInView;
    std::unique_ptr<CloudListingRequests> m_listingRequests;
    std::unique_ptr<CloudAlbumBatches> m_batches;
    std::unique_ptr<DiskBackupUploader> m_cameraUploader;
    std::unique_ptr<CloudCameraUpload> m_cameraUpload;   // declared after its uploader: goes first
};
