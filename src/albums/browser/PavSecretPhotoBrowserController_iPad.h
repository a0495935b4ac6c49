#pragma once

#include "Public/PavAlertView.h"
#include "albums/AlbumUsage.h"
#include "albums/browser/PavPhotoBrowserController_iPad.h"
#include "albums/browser/PavPhotoThumbnailListViewDataSource_iPad.h"
#include "albums/browser/PavPhotoThumbnailListViewDelegate_iPad.h"
#include "albums/browser/PavSecretPhotoScrollViewDataSource.h"
#include "albums/browser/PavSecretPhotoScrollViewDelegate.h"
#include "albums/store/PavPhotoModel.h"
#include "platform/core/SerialQueue.h"
#include "platform/ui/Alert.h"

#include <QPointer>

class PavAlbumPasswordManager;
class PavPhotoManager;
class PavPhotoThumbnailListView_iPad;
class PavSecretPhotoScrollView;

// The private album's browser: its items one at a time over the whole
// application, paged with swipes, zoomed with a double tap, picked from the
// strip, with the position as title. The shown item can be moved out to the
// device photo library (its original bytes; the private copy goes only once
// the save succeeded) or deleted. It works on its own copy of the album's
// list, and closes, forgetting every item and picture, as soon as the album
// locks again; it shows nothing while the album is locked.
class PavSecretPhotoBrowserController_iPad : public PavPhotoBrowserController_iPad,
                                             public PavSecretPhotoScrollViewDataSource,
                                             public PavSecretPhotoScrollViewDelegate,
                                             public PavPhotoThumbnailListViewDataSource_iPad,
                                             public PavPhotoThumbnailListViewDelegate_iPad,
                                             public ui::AlertDelegate {
    Q_OBJECT
public:
    static constexpr int kMoveOutDoneTag = 100;
    static constexpr int kDeleteConfirmTag = 110;
    static constexpr int kMoveOutEvent = 27114;
    static constexpr int kDeleteEvent = 27116;
    static constexpr int kReturnDelayMs = 1000;
    static constexpr const char* kHideAlertKey = "LocalAlbumDecryptSuccessHideAlert";

    // A browser on photos[startIndex]. store and lock default to the
    // application's; usage defaults to the usage store.
    PavSecretPhotoBrowserController_iPad(const PavPhotoModelList& photos, int startIndex,
                                         PavPhotoManager* store = nullptr, PavAlbumPasswordManager* lock = nullptr,
                                         AlbumUsage::Recorder usage = {}, QWidget* parent = nullptr);
    ~PavSecretPhotoBrowserController_iPad() override;

    // Opens a browser on photos[startIndex] over the whole application.
    static PavSecretPhotoBrowserController_iPad* openBrowser(const PavPhotoModelList& photos, int startIndex);

    const PavPhotoModelList& photoArray() const { return m_photoArray; }
    const PavPhotoModelPtr& photo() const { return m_photo; }

    QLabel* titleLabel() const { return m_titleLabel; }
    ui::ImageButton* backButton() const { return m_backButton; }
    ui::ImageButton* decryptButton() const { return m_decryptButton; }
    ui::ImageButton* deleteButton() const { return m_deleteButton; }
    PavSecretPhotoScrollView* photoScrollView() const { return m_secretPhotoScrollView; }
    PavPhotoThumbnailListView_iPad* thumbnailListView() const { return m_secretPhotoThumbnailListView; }
    // The alert on screen, whose delegate is cleared when the browser goes.
    PavAlertView* mAlertView() const { return m_alertView; }

    void backButtonClicked() override;
    void decryptButtonClicked();
    void deleteButtonClicked();

    // PavSecretPhotoScrollViewDataSource
    int pageCountForPhotoScrollView(PavSecretPhotoScrollView* view) override;
    PavPhotoModelPtr photoScrollViewPhotoModelAtIndex(PavSecretPhotoScrollView* view, int index) override;
    int beginPageIndexForPhotoScrollView(PavSecretPhotoScrollView* view) override;
    // PavSecretPhotoScrollViewDelegate
    void photoScrollViewDidSelectAtIndex(PavSecretPhotoScrollView* view, int index) override;
    void photoScrollViewWillBeginDecelerating(PavSecretPhotoScrollView* view) override;
    // PavPhotoThumbnailListViewDataSource_iPad
    int countForPhotoThumbnailListView(PavPhotoThumbnailListView_iPad* view) override;
    ImageJob photoThumbnailListViewThumbnailAtIndex(PavPhotoThumbnailListView_iPad* view, int index) override;
    int beginPageIndexForPhotoThumbnailListView(PavPhotoThumbnailListView_iPad* view) override;
    // PavPhotoThumbnailListViewDelegate_iPad
    void photoThumbnailListViewDidSelectAtIndex(PavPhotoThumbnailListView_iPad* view, int index) override;
    // ui::AlertDelegate
    void alertViewDidDismissWithButtonIndex(ui::Alert* alert, int buttonIndex) override;

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

private:
    int indexOfPhoto() const;
    // The save report of a move-out: moved when the library took the
    // original and the private copy was deleted.
    void photoDidMoveOut(const PavPhotoModelPtr& model, bool moved);
    void deletePhoto(const PavPhotoModelPtr& model);
    // An item has left the album (moved out or deleted): it leaves the
    // list; when it was the shown one, the next (or the new last) is shown.
    void photoDidLeave(const PavPhotoModelPtr& model);
    void processPhotoSuccess();
    void checkShouldReturn();
    void showFailure();
    // The album locked again: forget every item and close at once.
    void albumDidLock();

    PavPhotoManager* m_store;
    PavAlbumPasswordManager* m_lock;
    AlbumUsage::Recorder m_usage;
    PavPhotoModelList m_photoArray;
    PavPhotoModelPtr m_photo;
    PavPhotoModelPtr m_deleteTarget;  // the item the delete confirmation asks about
    QPointer<PavAlertView> m_alertView;
    QLabel* m_titleLabel = nullptr;
    ui::ImageButton* m_backButton = nullptr;
    ui::ImageButton* m_decryptButton = nullptr;
    ui::ImageButton* m_deleteButton = nullptr;
    PavSecretPhotoScrollView* m_secretPhotoScrollView = nullptr;
    PavPhotoThumbnailListView_iPad* m_secretPhotoThumbnailListView = nullptr;
    bool m_busy = false;     // a move-out or delete is under way
    bool m_closing = false;  // its dismissal was asked for
    bool m_locked = false;   // the album locked: every item forgotten
    // Reads and deciphers the item being moved out, off the GUI thread.
    SerialQueue m_moveOutQueue{"SecretPhotoBrowserDecryptQueue"};
};
