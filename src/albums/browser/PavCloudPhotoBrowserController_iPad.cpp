#include "albums/browser/PavCloudPhotoBrowserController_iPad.h"

#include "Public/PavAlertView.h"
#include "Public/PavProgressView.h"
#include "albums/browser/BrowserAlert.h"
#include "albums/browser/DiskAnswerRelay.h"
#include "albums/browser/PavCloudPhotoScrollView_iPad.h"
#include "albums/browser/PavCloudPhotoThumbnailListView_iPad.h"
#include "albums/cloud/CloudPhotoCopy.h"
#include "disk/DiskManager.h"
#include "disk/PavCloudAlbumManager.h"
#include "platform/core/Localization.h"
#include "platform/core/MainThread.h"
#include "platform/photolib/PhotoLibrary.h"
#include "platform/ui/ImageButton.h"

#include <QFileInfo>
#include <QLabel>

#include <utility>

namespace {
const char* const kWait = "请稍候...";
}

PavCloudPhotoBrowserController_iPad::PavCloudPhotoBrowserController_iPad(const QList<DiskFilePtr>& photos,
                                                                         int startIndex, DiskManager* disk,
                                                                         PavCloudAlbumManager* album,
                                                                         std::shared_ptr<PhotoLibrary> library,
                                                                         AlbumUsage::Recorder usage, QWidget* parent)
    : PavPhotoBrowserController_iPad(parent),
      m_disk(disk ? disk : &DiskManager::shareDiskManager()),
      m_album(album ? album : &PavCloudAlbumManager::sharePavCloudAlbumManager()),
      m_library(library ? std::move(library) : PhotoLibrary::shared()),
      m_usage(usage ? std::move(usage) : AlbumUsage::defaultRecorder()),
      m_photoArray(photos),
      m_photo(startIndex >= 0 && startIndex < photos.size() ? photos[startIndex] : nullptr)
{
}

PavCloudPhotoBrowserController_iPad::~PavCloudPhotoBrowserController_iPad()
{
    BrowserAlert::forget(m_alertView);
}

PavCloudPhotoBrowserController_iPad* PavCloudPhotoBrowserController_iPad::openBrowser(const QList<DiskFilePtr>& photos,
                                                                                     int startIndex)
{
    auto* browser = new PavCloudPhotoBrowserController_iPad(photos, startIndex);
    presentFromRoot(browser);
    return browser;
}

void PavCloudPhotoBrowserController_iPad::viewDidLoad()
{
    PavPhotoBrowserController_iPad::viewDidLoad();
    const QRect bar = topBar()->rect();
    const int width = topView()->width();
    const int side = kBarHeight + expandHotZone();
    m_titleLabel = addTitleLabel(QRect(150, 0, bar.width() - 300, bar.height()));
    m_backButton = addBackButton();
    m_saveButton = addTopButton(QRect(width - 100, 0, 50, side), "PavAlbum_DownloadButton_iPad.png");
    m_saveButton->setObjectName(QStringLiteral("saveButton"));
    connect(m_saveButton, &QAbstractButton::clicked, this, [this] { saveButtonClicked(); });
    m_deleteButton = addTopButton(QRect(width - 50, 0, 50, side), "PavAlbum_DeleteButton_iPad.png");
    m_deleteButton->setObjectName(QStringLiteral("deleteButton"));
    connect(m_deleteButton, &QAbstractButton::clicked, this, [this] { deleteButtonClicked(); });

    m_cloudPhotoScrollView = new PavCloudPhotoScrollView_iPad(contentView()->rect(), m_disk, contentView());
    m_cloudPhotoScrollView->setDataSource(this);
    m_cloudPhotoScrollView->setDelegate(this);
    m_cloudPhotoScrollView->lower();
    m_cloudPhotoScrollView->show();
    m_cloudPhotoThumbnailListView = new PavCloudPhotoThumbnailListView_iPad(bottomView()->rect(), m_disk, bottomView());
    m_cloudPhotoThumbnailListView->setDataSource(this);
    m_cloudPhotoThumbnailListView->setDelegate(this);
    m_cloudPhotoThumbnailListView->show();
    addDoubleTap(m_cloudPhotoScrollView);
}

void PavCloudPhotoBrowserController_iPad::viewWillAppear(bool animated)
{
    PavPhotoBrowserController_iPad::viewWillAppear(animated);
    m_cloudPhotoThumbnailListView->reloadDataSource();
}

void PavCloudPhotoBrowserController_iPad::backButtonClicked()
{
    if (m_closing)
        return;
    m_closing = true;
    if (m_photo)
        m_disk->requestStopDownloadFile(m_photo);
    // The page's own download too, should a pick in full screen have moved `photo` away from it.
    m_cloudPhotoScrollView->stopDownload();
    PavPhotoBrowserController_iPad::backButtonClicked();
}

int PavCloudPhotoBrowserController_iPad::indexOfPhoto() const
{
    return int(m_photoArray.indexOf(m_photo));
}

// Paging.

int PavCloudPhotoBrowserController_iPad::pageCountForPhotoScrollView(PavCloudPhotoScrollView_iPad*)
{
    return int(m_photoArray.size());
}

DiskFilePtr PavCloudPhotoBrowserController_iPad::photoScrollViewPhotoModelAtIndex(PavCloudPhotoScrollView_iPad*,
                                                                                 int index)
{
    return m_photoArray.value(index);
}

int PavCloudPhotoBrowserController_iPad::beginPageIndexForPhotoScrollView(PavCloudPhotoScrollView_iPad*)
{
    return indexOfPhoto();
}

void PavCloudPhotoBrowserController_iPad::photoScrollViewDidSelectAtIndex(PavCloudPhotoScrollView_iPad*, int index)
{
    if (index < 0 || index >= m_photoArray.size())
        return;
    m_saveButton->setEnabled(false);
    m_deleteButton->setEnabled(false);
    m_photo = m_photoArray[index];
    m_titleLabel->setText(m_photo->file_name());
    if (isFullScreen())
        m_cloudPhotoThumbnailListView->selectAtIndex(index, true);
}

void PavCloudPhotoBrowserController_iPad::photoScrollViewDidLoadPhoto(PavCloudPhotoScrollView_iPad*,
                                                                      const DiskError* error)
{
    // A photo can be saved once it is shown, and deleted even when its download failed.
    m_saveButton->setEnabled(error == nullptr);
    m_deleteButton->setEnabled(true);
}

void PavCloudPhotoBrowserController_iPad::photoScrollViewWillBeginDecelerating(PavCloudPhotoScrollView_iPad*)
{
    enterFullScreenOnSwipe(m_cloudPhotoThumbnailListView);
}

int PavCloudPhotoBrowserController_iPad::countForPhotoThumbnailListView(PavCloudPhotoThumbnailListView_iPad*)
{
    return int(m_photoArray.size());
}

DiskFilePtr PavCloudPhotoBrowserController_iPad::photoThumbnailListViewPhotoModelAtIndex(
    PavCloudPhotoThumbnailListView_iPad*, int index)
{
    return m_photoArray.value(index);
}

int PavCloudPhotoBrowserController_iPad::beginPageIndexForPhotoThumbnailListView(PavCloudPhotoThumbnailListView_iPad*)
{
    return indexOfPhoto();
}

void PavCloudPhotoBrowserController_iPad::photoThumbnailListViewDidSelectAtIndex(PavCloudPhotoThumbnailListView_iPad*,
                                                                                int index)
{
    if (index < 0 || index >= m_photoArray.size())
        return;
    m_photo = m_photoArray[index];
    if (!isFullScreen())
        m_cloudPhotoScrollView->reloadDataSource();
}

// Saving into the device library.

void PavCloudPhotoBrowserController_iPad::saveButtonClicked()
{
    if (!m_photo || m_saveRequest || m_closing)
        return;
    m_usage(kSaveEvent);
    PavProgressView::showWithString(L(kWait));
    m_saveRequest = std::make_unique<DiskAnswerRelay>(m_photo);
    const DiskFilePtr file = m_photo;
    m_saveRequest->onSuccess = [this, file] { fileDownloadSuccess(file); };
    m_saveRequest->onFailure = [this](const DiskError&) { imageDidFinishSaving(false); };
    m_disk->requestDownloadFile(file, m_saveRequest.get());
}

void PavCloudPhotoBrowserController_iPad::fileDownloadSuccess(const DiskFilePtr& file)
{
    m_usage(kSaveDownloadedEvent);
    // The original bytes, never a re-encoded picture, and only once checked.
    const QByteArray bytes = CloudPhotoCopy::checkedBytes(*file);
    QString ext = QFileInfo(file->file_name()).suffix().toUpper();
    if (bytes.isEmpty() || !m_library) {
        imageDidFinishSaving(false);
        return;
    }
    QPointer<PavCloudPhotoBrowserController_iPad> self(this);
    m_library->saveToLibrary(bytes, ext.isEmpty() ? QStringLiteral("JPG") : ext, file->file_ctime(),
                             [self](const PhotoLibrary::SaveResult& result) {
                                 if (self)
                                     self->imageDidFinishSaving(result.ok());
                             });
}

void PavCloudPhotoBrowserController_iPad::imageDidFinishSaving(bool saved)
{
    m_saveRequest.reset();
    if (saved) {
        PavProgressView::showSuccessWithString(L("照片保存成功！"));
        return;
    }
    PavProgressView::dismiss();
    showFailure();
}

// Deleting from the cloud disk.

void PavCloudPhotoBrowserController_iPad::deleteButtonClicked()
{
    if (!m_photo || m_deleteRequest || m_closing)
        return;
    m_usage(kDeleteEvent);
    m_deleteTarget = m_photo;  // the answer acts on this photo, whatever is shown by then
    m_alertView = BrowserAlert::show(this, L("确定要删除照片？"), L("取消"), {L("删除")}, kDeleteConfirmTag);
}

void PavCloudPhotoBrowserController_iPad::alertViewDidDismissWithButtonIndex(ui::Alert* alert, int buttonIndex)
{
    if (alert->tag() != kDeleteConfirmTag)
        return;
    const DiskFilePtr file = std::exchange(m_deleteTarget, nullptr);
    if (buttonIndex != 1 || !file || m_deleteRequest)
        return;
    PavProgressView::showWithString(L(kWait));
    m_deleteRequest = std::make_unique<DiskAnswerRelay>(file);
    m_deleteRequest->onSuccess = [this, file] { fileDidDeleteSuccess(file); };
    m_deleteRequest->onFailure = [this](const DiskError&) {
        m_deleteRequest.reset();
        PavProgressView::dismiss();
        showFailure();
    };
    m_disk->requestDeleteFile(file, m_deleteRequest.get());
}

void PavCloudPhotoBrowserController_iPad::fileDidDeleteSuccess(const DiskFilePtr& file)
{
    m_deleteRequest.reset();
    m_album->setIsUpdated(true);  // the album screen reloads
    PavProgressView::showSuccessWithString(L("照片删除成功！"));
    const int index = int(m_photoArray.indexOf(file));
    if (index < 0)
        return;
    m_photoArray.removeAt(index);
    if (m_photo && m_photo != file && !m_photoArray.isEmpty()) {
        // Another photo is shown by now: it stays.
        m_cloudPhotoScrollView->reloadDataSource();
        m_cloudPhotoThumbnailListView->reloadDataSource();
        return;
    }
    if (m_photoArray.isEmpty()) {
        // Nothing is left to act on; the browser closes once the message was seen.
        m_photo.reset();
        m_saveButton->setEnabled(false);
        m_deleteButton->setEnabled(false);
        MainThread::after(kReturnDelayMs, this, [this] { backButtonClicked(); });
        return;
    }
    m_photo = m_photoArray[std::min(index, int(m_photoArray.size()) - 1)];
    m_cloudPhotoScrollView->reloadDataSource();
    m_cloudPhotoThumbnailListView->reloadDataSource();
}

void PavCloudPhotoBrowserController_iPad::showFailure()
{
    m_alertView = BrowserAlert::showFailure(this);
}
