#pragma once

#include "Public/PavAlertView.h"
#include "albums/AlbumUsage.h"
#include "albums/browser/PavCloudPhotoScrollViewDataSource_iPad.h"
#include "albums/browser/PavCloudPhotoScrollViewDelegate_iPad.h"
#include "albums/browser/PavCloudPhotoThumbnailListViewDataSource_iPad.h"
#include "albums/browser/PavCloudPhotoThumbnailListViewDelegate_iPad.h"
#include "albums/browser/PavPhotoBrowserController_iPad.h"
#include "platform/ui/Alert.h"

#include <QList>
#include <QPointer>

#include <memory>

class DiskAnswerRelay;
class DiskManager;
class PavCloudAlbumManager;
class PavCloudPhotoScrollView_iPad;
class PavCloudPhotoThumbnailListView_iPad;
class PhotoLibrary;

// The cloud album's browser: the photos of the cloud album's folder one at
// a time, each downloaded when it is shown (with its percentage), paged
// with swipes, zoomed with a double tap, picked from the strip, with the
// file name as title. The shown photo can be saved into the device photo
// library (its original bytes) once it is shown, and deleted from the cloud
// disk even when its download failed.
class PavCloudPhotoBrowserController_iPad : public PavPhotoBrowserController_iPad,
                                            public PavCloudPhotoScrollViewDataSource_iPad,
                                            public PavCloudPhotoScrollViewDelegate_iPad,
                                            public PavCloudPhotoThumbnailListViewDataSource_iPad,
                                            public PavCloudPhotoThumbnailListViewDelegate_iPad,
                                            public ui::AlertDelegate {
    Q_OBJECT
public:
    static constexpr int kDeleteConfirmTag = 99;
    static constexpr int kSaveEvent = 27147;
    static constexpr int kSaveDownloadedEvent = 27148;
    static constexpr int kDeleteEvent = 27149;
    static constexpr int kReturnDelayMs = 1000;

    // A browser on photos[startIndex] (the album's files, folders left out).
    // disk, album and library default to the application's; usage to the
    // usage store.
    PavCloudPhotoBrowserController_iPad(const QList<DiskFilePtr>& photos, int startIndex, DiskManager* disk = nullptr,
                                        PavCloudAlbumManager* album = nullptr,
                                        std::shared_ptr<PhotoLibrary> library = nullptr,
                                        AlbumUsage::Recorder usage = {}, QWidget* parent = nullptr);
    ~PavCloudPhotoBrowserController_iPad() override;

    // Opens a browser on photos[startIndex] over the whole application.
    static PavCloudPhotoBrowserController_iPad* openBrowser(const QList<DiskFilePtr>& photos, int startIndex);

    const QList<DiskFilePtr>& photoArray() const { return m_photoArray; }
    const DiskFilePtr& photo() const { return m_photo; }

    QLabel* titleLabel() const { return m_titleLabel; }
    ui::ImageButton* backButton() const { return m_backButton; }
    ui::ImageButton* saveButton() const { return m_saveButton; }
    ui::ImageButton* deleteButton() const { return m_deleteButton; }
    PavCloudPhotoScrollView_iPad* photoScrollView() const { return m_cloudPhotoScrollView; }
    PavCloudPhotoThumbnailListView_iPad* thumbnailListView() const { return m_cloudPhotoThumbnailListView; }

    void backButtonClicked() override;
    void saveButtonClicked();
    void deleteButtonClicked();

    // PavCloudPhotoScrollViewDataSource_iPad
    int pageCountForPhotoScrollView(PavCloudPhotoScrollView_iPad* view) override;
    DiskFilePtr photoScrollViewPhotoModelAtIndex(PavCloudPhotoScrollView_iPad* view, int index) override;
    int beginPageIndexForPhotoScrollView(PavCloudPhotoScrollView_iPad* view) override;
    // PavCloudPhotoScrollViewDelegate_iPad
    void photoScrollViewDidSelectAtIndex(PavCloudPhotoScrollView_iPad* view, int index) override;
    void photoScrollViewDidLoadPhoto(PavCloudPhotoScrollView_iPad* view, const DiskError* error) override;
    void photoScrollViewWillBeginDecelerating(PavCloudPhotoScrollView_iPad* view) override;
    // PavCloudPhotoThumbnailListViewDataSource_iPad
    int countForPhotoThumbnailListView(PavCloudPhotoThumbnailListView_iPad* view) override;
    DiskFilePtr photoThumbnailListViewPhotoModelAtIndex(PavCloudPhotoThumbnailListView_iPad* view, int index) override;
    int beginPageIndexForPhotoThumbnailListView(PavCloudPhotoThumbnailListView_iPad* view) override;
    // PavCloudPhotoThumbnailListViewDelegate_iPad
    void photoThumbnailListViewDidSelectAtIndex(PavCloudPhotoThumbnailListView_iPad* view, int index) override;
    // ui::AlertDelegate
    void alertViewDidDismissWithButtonIndex(ui::Alert* alert, int buttonIndex) override;

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

private:
    int indexOfPhoto() const;
    void fileDownloadSuccess(const DiskFilePtr& file);
    void imageDidFinishSaving(bool saved);
    void fileDidDeleteSuccess(const DiskFilePtr& file);
    void showFailure();

    DiskManager* m_disk;
    PavCloudAlbumManager* m_album;
    std::shared_ptr<PhotoLibrary> m_library;
    AlbumUsage::Recorder m_usage;
    QList<DiskFilePtr> m_photoArray;
    DiskFilePtr m_photo;
    DiskFilePtr m_deleteTarget;  // the photo the delete confirmation asks about
    QLabel* m_titleLabel = nullptr;
    ui::ImageButton* m_backButton = nullptr;
    ui::ImageButton* m_saveButton = nullptr;
    ui::ImageButton* m_deleteButton = nullptr;
    PavCloudPhotoScrollView_iPad* m_cloudPhotoScrollView = nullptr;
    PavCloudPhotoThumbnailListView_iPad* m_cloudPhotoThumbnailListView = nullptr;
    QPointer<PavAlertView> m_alertView;
    // The response objects of the save download and of the deletion under way.
    std::unique_ptr<DiskAnswerRelay> m_saveRequest;
    std::unique_ptr<DiskAnswerRelay> m_deleteRequest;
    bool m_closing = false;
};
