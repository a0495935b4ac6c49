#pragma once

#include "albums/browser/PavPhotoBrowserController_iPad.h"
#include "albums/browser/PavPhotoScrollViewDataSource.h"
#include "albums/browser/PavPhotoScrollViewDelegate.h"
#include "albums/browser/PavPhotoThumbnailListViewDataSource_iPad.h"
#include "albums/browser/PavPhotoThumbnailListViewDelegate_iPad.h"
#include "albums/store/ALAsset.h"
#include "platform/core/NotificationCenter.h"

#include <QList>

#include <memory>

class AssetsLibrary;
class PavPhotoManager;
class PavPhotoThumbnailListView_iPad;
class PavSystemPhotoScrollView;

// The device photo library's browser: the photos of the device album one at
// a time, paged with swipes, zoomed with a double tap, picked from the strip,
// with the position as title. A photo already stored in the private album
// shows a tip asking to delete the library copy by hand. The browser closes
// itself when the photo library changes under it.
class PavSystemPhotoBrowserController_iPad : public PavPhotoBrowserController_iPad,
                                             public PavPhotoScrollViewDataSource,
                                             public PavPhotoScrollViewDelegate,
                                             public PavPhotoThumbnailListViewDataSource_iPad,
                                             public PavPhotoThumbnailListViewDelegate_iPad {
    Q_OBJECT
public:
    // library and store default to the application's (tests inject their own).
    explicit PavSystemPhotoBrowserController_iPad(std::shared_ptr<AssetsLibrary> library = nullptr,
                                                  PavPhotoManager* store = nullptr, QWidget* parent = nullptr);
    ~PavSystemPhotoBrowserController_iPad() override;

    // Set by the opener before the browser is shown.
    const QList<ALAssetPtr>& photoArray() const { return m_photoArray; }
    void setPhotoArray(const QList<ALAssetPtr>& photos) { m_photoArray = photos; }
    const ALAssetPtr& asset() const { return m_asset; }
    void setAsset(const ALAssetPtr& asset) { m_asset = asset; }

    // Opens a browser on `asset` of `photos` over the whole application.
    static PavSystemPhotoBrowserController_iPad* openBrowser(const QList<ALAssetPtr>& photos, const ALAssetPtr& asset);

    QLabel* titleLabel() const { return m_titleLabel; }
    ui::ImageButton* backButton() const { return m_backButton; }
    QWidget* encryptedTipsView() const { return m_encryptedTipsView; }
    PavSystemPhotoScrollView* photoScrollView() const { return m_systemPhotoScrollView; }
    PavPhotoThumbnailListView_iPad* thumbnailListView() const { return m_systemPhotoThumbnailListView; }

    // The library changed: the browser closes rather than show stale photos.
    void assetsLibraryDidChanged();

    // PavPhotoScrollViewDataSource
    int pagesForPhotoScrollView(PavSystemPhotoScrollView* view) override;
    int beginPageForPhotoScrollView(PavSystemPhotoScrollView* view) override;
    ImageJob photoScrollViewThumbnailAtIndex(PavSystemPhotoScrollView* view, int index) override;
    ImageJob photoScrollViewFullScreenImageAtIndex(PavSystemPhotoScrollView* view, int index) override;
    ImageJob photoScrollViewFullResolutionImageAtIndex(PavSystemPhotoScrollView* view, int index) override;
    // PavPhotoScrollViewDelegate
    void photoScrollViewDidSelectAtIndex(PavSystemPhotoScrollView* view, int index) override;
    void photoScrollViewWillBeginDecelerating(PavSystemPhotoScrollView* view) override;
    // PavPhotoThumbnailListViewDataSource_iPad
    int countForPhotoThumbnailListView(PavPhotoThumbnailListView_iPad* view) override;
    ImageJob photoThumbnailListViewThumbnailAtIndex(PavPhotoThumbnailListView_iPad* view, int index) override;
    int beginPageIndexForPhotoThumbnailListView(PavPhotoThumbnailListView_iPad* view) override;
    // PavPhotoThumbnailListViewDelegate_iPad
    void photoThumbnailListViewDidSelectAtIndex(PavPhotoThumbnailListView_iPad* view, int index) override;

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

private:
    int indexOfAsset() const;
    // A reading of one image of the photo at index (empty when out of range).
    ImageJob imageJob(int index, QImage (AssetsLibrary::*read)(const PhotoAsset&)) const;
    void addEncryptedTipsView();

    std::shared_ptr<AssetsLibrary> m_library;
    PavPhotoManager* m_store;
    QList<ALAssetPtr> m_photoArray;
    ALAssetPtr m_asset;
    QLabel* m_titleLabel = nullptr;
    ui::ImageButton* m_backButton = nullptr;
    QWidget* m_encryptedTipsView = nullptr;
    PavSystemPhotoScrollView* m_systemPhotoScrollView = nullptr;
    PavPhotoThumbnailListView_iPad* m_systemPhotoThumbnailListView = nullptr;
    ObserverToken m_libraryObserver;
    bool m_closing = false;
};
