#include "albums/browser/PavSecretPhotoBrowserController_iPad.h"

#include "Public/PavAlertView.h"
#include "albums/browser/BrowserAlert.h"
#include "Public/PavProgressView.h"
#include "albums/browser/PavPhotoThumbnailListView_iPad.h"
#include "albums/browser/PavSecretPhotoScrollView.h"
#include "albums/lock/PavAlbumPasswordManager.h"
#include "albums/store/PavPhotoManager.h"
#include "platform/core/Localization.h"
#include "platform/core/MainThread.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/ImageButton.h"

#include <QLabel>

#include <utility>

namespace {
const char* const kWait = "请稍候...";
}

PavSecretPhotoBrowserController_iPad::PavSecretPhotoBrowserController_iPad(const PavPhotoModelList& photos,
                                                                           int startIndex, PavPhotoManager* store,
                                                                           PavAlbumPasswordManager* lock,
                                                                           AlbumUsage::Recorder usage, QWidget* parent)
    : PavPhotoBrowserController_iPad(parent),
      m_store(store ? store : &PavPhotoManager::sharedPavPhotoManager()),
      m_lock(lock ? lock : &PavAlbumPasswordManager::shareAlbumPasswordManager()),
      m_usage(usage ? std::move(usage) : AlbumUsage::defaultRecorder()),
      m_photoArray(photos),
      m_photo(startIndex >= 0 && startIndex < photos.size() ? photos[startIndex] : nullptr)
{
    connect(m_lock, &PavAlbumPasswordManager::locked, this, [this] { albumDidLock(); });
}

PavSecretPhotoBrowserController_iPad::~PavSecretPhotoBrowserController_iPad()
{
    BrowserAlert::forget(m_alertView);  // a late dismissal reaches nobody
}

PavSecretPhotoBrowserController_iPad* PavSecretPhotoBrowserController_iPad::openBrowser(const PavPhotoModelList& photos,
                                                                                       int startIndex)
{
    auto* browser = new PavSecretPhotoBrowserController_iPad(photos, startIndex);
    presentFromRoot(browser);
    return browser;
}

void PavSecretPhotoBrowserController_iPad::viewDidLoad()
{
    PavPhotoBrowserController_iPad::viewDidLoad();
    const int h = expandHotZone();
    const int width = topView()->width();
    m_titleLabel = addTitleLabel(topBar()->rect());
    m_backButton = addBackButton();
    m_decryptButton = addTopButton(QRect(width - 100, 0, 50, h + kBarHeight), "PavAlbum_UnlockButton_iPad.png");
    m_decryptButton->setObjectName(QStringLiteral("decryptButton"));
    connect(m_decryptButton, &QAbstractButton::clicked, this, [this] { decryptButtonClicked(); });
    m_deleteButton = addTopButton(QRect(width - 50, 0, 50, h + kBarHeight), "PavAlbum_DeleteButton_iPad.png");
    m_deleteButton->setObjectName(QStringLiteral("deleteButton"));
    connect(m_deleteButton, &QAbstractButton::clicked, this, [this] { deleteButtonClicked(); });

    m_secretPhotoScrollView = new PavSecretPhotoScrollView(contentView()->rect(), m_store, contentView());
    m_secretPhotoScrollView->setDataSource(this);
    m_secretPhotoScrollView->setDelegate(this);
    m_secretPhotoScrollView->lower();
    m_secretPhotoScrollView->show();
    m_secretPhotoThumbnailListView = new PavPhotoThumbnailListView_iPad(bottomView()->rect(), bottomView());
    m_secretPhotoThumbnailListView->setDataSource(this);
    m_secretPhotoThumbnailListView->setDelegate(this);
    m_secretPhotoThumbnailListView->show();
    addDoubleTap(m_secretPhotoScrollView);
}

void PavSecretPhotoBrowserController_iPad::viewWillAppear(bool animated)
{
    PavPhotoBrowserController_iPad::viewWillAppear(animated);
    if (!m_lock->hasVerified()) {
        // Locked meanwhile: nothing of the album is read or shown.
        MainThread::post([self = QPointer<PavSecretPhotoBrowserController_iPad>(this)] {
            if (self)
                self->albumDidLock();
        });
        return;
    }
    m_secretPhotoThumbnailListView->reloadDataSource();
}

void PavSecretPhotoBrowserController_iPad::albumDidLock()
{
    if (m_locked)
        return;
    m_locked = true;
    m_photoArray.clear();
    m_photo.reset();
    m_deleteTarget.reset();
    if (m_secretPhotoScrollView) {
        m_secretPhotoScrollView->reloadDataSource();  // drops the picture and any answer on its way
        m_secretPhotoThumbnailListView->reloadDataSource();
    }
    if (m_alertView) {
        m_alertView->setDelegate(nullptr);
        m_alertView->dismissWithClickedButtonIndex(m_alertView->cancelButtonIndex(), false);
    }
    if (m_busy)
        PavProgressView::dismiss();
    if (m_closing)
        return;  // already on its way out
    m_closing = true;
    dismissModal(false);
}

void PavSecretPhotoBrowserController_iPad::backButtonClicked()
{
    if (m_closing)
        return;  // one close, whatever asks for it
    m_closing = true;
    PavPhotoBrowserController_iPad::backButtonClicked();
}

int PavSecretPhotoBrowserController_iPad::indexOfPhoto() const
{
    return int(m_photoArray.indexOf(m_photo));
}

// Paging.

int PavSecretPhotoBrowserController_iPad::pageCountForPhotoScrollView(PavSecretPhotoScrollView*)
{
    return int(m_photoArray.size());
}

PavPhotoModelPtr PavSecretPhotoBrowserController_iPad::photoScrollViewPhotoModelAtIndex(PavSecretPhotoScrollView*,
                                                                                        int index)
{
    return index >= 0 && index < m_photoArray.size() ? m_photoArray[index] : nullptr;
}

int PavSecretPhotoBrowserController_iPad::beginPageIndexForPhotoScrollView(PavSecretPhotoScrollView*)
{
    return indexOfPhoto();
}

void PavSecretPhotoBrowserController_iPad::photoScrollViewDidSelectAtIndex(PavSecretPhotoScrollView*, int index)
{
    if (index < 0 || index >= m_photoArray.size())
        return;
    m_photo = m_photoArray[index];
    m_titleLabel->setText(positionTitle(index + 1, int(m_photoArray.size())));
    if (isFullScreen())
        m_secretPhotoThumbnailListView->selectAtIndex(index, true);
}

void PavSecretPhotoBrowserController_iPad::photoScrollViewWillBeginDecelerating(PavSecretPhotoScrollView*)
{
    enterFullScreenOnSwipe(m_secretPhotoThumbnailListView);
}

int PavSecretPhotoBrowserController_iPad::countForPhotoThumbnailListView(PavPhotoThumbnailListView_iPad*)
{
    return int(m_photoArray.size());
}

ImageJob PavSecretPhotoBrowserController_iPad::photoThumbnailListViewThumbnailAtIndex(PavPhotoThumbnailListView_iPad*,
                                                                                     int index)
{
    if (index < 0 || index >= m_photoArray.size() || !m_photoArray[index])
        return {};
    const QString path = m_store->thumbnailPath(*m_photoArray[index]);
    return [path] { return PavPhotoManager::decryptPhotoWithFullPath(path); };
}

int PavSecretPhotoBrowserController_iPad::beginPageIndexForPhotoThumbnailListView(PavPhotoThumbnailListView_iPad*)
{
    return indexOfPhoto();
}

void PavSecretPhotoBrowserController_iPad::photoThumbnailListViewDidSelectAtIndex(PavPhotoThumbnailListView_iPad*,
                                                                                 int index)
{
    if (index < 0 || index >= m_photoArray.size())
        return;
    m_photo = m_photoArray[index];
    if (!isFullScreen())
        m_secretPhotoScrollView->reloadDataSource();
}

// Moving out and deleting the shown item.

void PavSecretPhotoBrowserController_iPad::decryptButtonClicked()
{
    if (m_busy || m_closing || m_locked || !m_photo)
        return;
    m_busy = true;
    m_usage(kMoveOutEvent);
    PavProgressView::showWithString(L(kWait));
    QPointer<PavSecretPhotoBrowserController_iPad> self(this);
    PavPhotoManager* store = m_store;
    const PavPhotoModelPtr model = m_photo;
    m_moveOutQueue.async([store, model, self] {
        store->decryptPhoto(model, nullptr, [store, self](const PavPhotoModelPtr& saved, const QString& error) {
            // The move finishes even when the browser has gone meanwhile: the
            // private copy goes only once the library holds the original.
            const bool moved = error.isEmpty() && store->deleteMovedPhoto(*saved);
            if (self)
                self->photoDidMoveOut(saved, moved);
        });
    });
}

void PavSecretPhotoBrowserController_iPad::photoDidMoveOut(const PavPhotoModelPtr& model, bool moved)
{
    m_busy = false;
    if (m_locked)
        return;
    if (!moved) {
        PavProgressView::dismiss();
        showFailure();
        return;
    }
    photoDidLeave(model);
    PavProgressView::dismiss();
    if (!UserDefaults::standardUserDefaults().contains(QString::fromLatin1(kHideAlertKey))) {
        m_alertView = BrowserAlert::show(this, L("照片已成功移动到Pad相册。"), L("确定"), {L("不再提示")}, kMoveOutDoneTag);
        return;
    }
    PavProgressView::showSuccessWithString(L("照片移出成功!"));
    MainThread::after(kReturnDelayMs, this, [this] { checkShouldReturn(); });
}

void PavSecretPhotoBrowserController_iPad::deleteButtonClicked()
{
    if (m_busy || m_closing || m_locked || !m_photo)
        return;
    m_usage(kDeleteEvent);
    m_deleteTarget = m_photo;  // the answer acts on this item, whatever is shown by then
    m_alertView = BrowserAlert::show(this, L("确定要删除照片?"), L("取消"), {L("删除")}, kDeleteConfirmTag);
}

void PavSecretPhotoBrowserController_iPad::deletePhoto(const PavPhotoModelPtr& model)
{
    if (!model || !m_store->deletePhoto(*model)) {
        PavProgressView::dismiss();
        showFailure();
        return;
    }
    photoDidLeave(model);
    PavProgressView::showSuccessWithString(L("照片删除成功!"));
    MainThread::after(kReturnDelayMs, this, [this] { checkShouldReturn(); });
}

void PavSecretPhotoBrowserController_iPad::photoDidLeave(const PavPhotoModelPtr& model)
{
    if (m_photo && model && m_photo->photoUUID() != model->photoUUID()) {
        // Another item is shown by now: the one that left goes from the
        // list, the shown one stays.
        m_photoArray.removeIf([&](const PavPhotoModelPtr& p) { return p && p->photoUUID() == model->photoUUID(); });
        m_secretPhotoScrollView->reloadDataSource();
        m_secretPhotoThumbnailListView->reloadDataSource();
        return;
    }
    m_photo = model;
    processPhotoSuccess();
}

void PavSecretPhotoBrowserController_iPad::processPhotoSuccess()
{
    const int index = indexOfPhoto();
    if (index < 0)
        return;
    m_photoArray.removeAt(index);
    if (m_photoArray.isEmpty()) {
        // The last picture stays until the browser closes; nothing is left to act on.
        m_photo.reset();
        m_backButton->setEnabled(false);
        m_decryptButton->setEnabled(false);
        m_deleteButton->setEnabled(false);
        return;
    }
    m_photo = m_photoArray[std::min(int(m_photoArray.size()) - 1, index)];
    m_secretPhotoScrollView->reloadDataSource();
    m_secretPhotoThumbnailListView->reloadDataSource();
}

void PavSecretPhotoBrowserController_iPad::checkShouldReturn()
{
    if (!m_backButton->isEnabled())
        backButtonClicked();
}

void PavSecretPhotoBrowserController_iPad::showFailure()
{
    m_alertView = BrowserAlert::showFailure(this);
}

void PavSecretPhotoBrowserController_iPad::alertViewDidDismissWithButtonIndex(ui::Alert* alert, int buttonIndex)
{
    if (m_locked)
        return;
    if (alert->tag() == kDeleteConfirmTag) {
        const PavPhotoModelPtr target = std::exchange(m_deleteTarget, nullptr);
        if (buttonIndex == alert->cancelButtonIndex())
            return;
        PavProgressView::showWithString(L(kWait));
        deletePhoto(target);
    } else if (alert->tag() == kMoveOutDoneTag) {
        if (buttonIndex == 1)
            UserDefaults::standardUserDefaults().setBool(QString::fromLatin1(kHideAlertKey), true);
        checkShouldReturn();
    }
}
