#include "albums/browser/PavCloudPhotoScrollView_iPad.h"

#include "albums/browser/DiskAnswerRelay.h"
#include "albums/browser/PavCloudPhotoLoadingView_iPad.h"
#include "albums/browser/PhotoZoom.h"
#include "disk/DiskManager.h"
#include "platform/core/RegularFile.h"
#include "platform/ui/ScrollView.h"

#include <QLabel>

PavCloudPhotoScrollView_iPad::PavCloudPhotoScrollView_iPad(const QRect& frame, DiskManager* disk, QWidget* parent)
    : PhotoPagerView(frame, parent), m_disk(disk ? disk : &DiskManager::shareDiskManager())
{
    // A fling of the zoomed picture hides the browser's bars too.
    reportZoomedFlings();
    // A drag past the first or last photo overshoots and springs back.
    containerScrollView()->setBounces(true);
}

PavCloudPhotoScrollView_iPad::~PavCloudPhotoScrollView_iPad()
{
    stopDownload();
}

void PavCloudPhotoScrollView_iPad::stopDownload()
{
    m_request.reset();  // its answers are dropped
    if (m_oldPhoto)
        m_disk->requestStopDownloadFile(m_oldPhoto);
}

int PavCloudPhotoScrollView_iPad::pageCountFromSource()
{
    return m_dataSource ? m_dataSource->pageCountForPhotoScrollView(this) : 0;
}

int PavCloudPhotoScrollView_iPad::beginPageFromSource()
{
    return m_dataSource ? m_dataSource->beginPageIndexForPhotoScrollView(this) : 0;
}

void PavCloudPhotoScrollView_iPad::notifyDidSelect(int index)
{
    if (m_delegate)
        m_delegate->photoScrollViewDidSelectAtIndex(this, index);
}

void PavCloudPhotoScrollView_iPad::notifyWillBeginDecelerating()
{
    if (m_delegate)
        m_delegate->photoScrollViewWillBeginDecelerating(this);
}

void PavCloudPhotoScrollView_iPad::tellLoaded(const DiskError* error)
{
    if (m_delegate)
        m_delegate->photoScrollViewDidLoadPhoto(this, error);
}

void PavCloudPhotoScrollView_iPad::clearPages()
{
    delete m_preLoadingView;
    delete m_loadingView;
    delete m_nexLoadingView;
    m_preLoadingView = m_loadingView = m_nexLoadingView = nullptr;
}

void PavCloudPhotoScrollView_iPad::layoutPages(PhotoPager::Move move)
{
    Q_UNUSED(move);
    if (m_loadingView)
        return;  // they follow the shown screen as each photo loads
    QWidget* content = containerScrollView()->contentWidget();
    m_preLoadingView = new PavCloudPhotoLoadingView_iPad(screenRect(-1), content);
    m_loadingView = new PavCloudPhotoLoadingView_iPad(screenRect(1), content);
    m_nexLoadingView = new PavCloudPhotoLoadingView_iPad(screenRect(2), content);
    for (PavCloudPhotoLoadingView_iPad* view : {m_preLoadingView, m_loadingView, m_nexLoadingView}) {
        view->show();
        view->stackUnder(detailScrollView());
    }
    m_preLoadingView->msgLabel()->clear();
    m_nexLoadingView->msgLabel()->clear();
}

void PavCloudPhotoScrollView_iPad::loadDetailImageView(int photo, quint64 generation)
{
    const int screen = screenIndex();
    m_preLoadingView->setGeometry(screenRect(screen - 1));
    m_loadingView->setGeometry(screenRect(screen));
    m_nexLoadingView->setGeometry(screenRect(screen + 1));
    m_loadingView->initBeforeLoading();
    setSwipesEnabled(false);  // until this photo's download ends, either way

    const DiskFilePtr file = m_dataSource ? m_dataSource->photoScrollViewPhotoModelAtIndex(this, photo) : nullptr;
    if (!file) {
        stopDownload();
        m_oldPhoto = nullptr;
        failed(photo, generation, diskErrorFor(DiskErrorCode::kStopped));
        return;
    }
    // The same photo still on its way keeps its transfer (two transfers never
    // write the same local copy); its answers now serve this page.
    const bool sameRunning = file == m_oldPhoto && m_request && !m_request->done();
    if (!sameRunning)
        m_request = std::make_unique<DiskAnswerRelay>(file);  // answers of the request before are dropped
    m_request->onProgress = [this, photo, generation](float percent) {
        if (isCurrent(photo, generation))
            m_loadingView->setProgress(percent);
    };
    m_request->onSuccess = [this, photo, generation, file] { downloaded(photo, generation, file); };
    m_request->onFailure = [this, photo, generation](const DiskError& error) { failed(photo, generation, error); };
    if (sameRunning)
        return;
    // Asked for first; then the download before stops, unless it is this photo's.
    const DiskFilePtr previous = m_oldPhoto;
    m_oldPhoto = file;
    m_disk->requestDownloadFile(file, m_request.get());
    if (previous && previous != file)
        m_disk->requestStopDownloadFile(previous);
}

void PavCloudPhotoScrollView_iPad::downloaded(int photo, quint64 generation, const DiskFilePtr& file)
{
    if (!isCurrent(photo, generation))
        return;
    m_loadingView->loadingSuccessfully();
    const QString path = file->file_path();
    auto read = [path] {
        QByteArray bytes;
        return RegularFile::read(path, RegularFile::Cap::kPicture, &bytes) ? bytes : QByteArray();
    };
    loadPicture(m_pictures, photo, generation, read, [this, photo, generation](const QImage& image, QSize original) {
        if (image.isNull()) {
            // A downloaded file that is no picture: nothing to show or save.
            failed(photo, generation, diskErrorFor(DiskErrorCode::kLocalWrite));
            return;
        }
        // The original's upright size, against the fixed reference.
        const double zoom = PhotoZoom::maximumScale(original, ImageOrientation::Up,
                                                    QSizeF(kZoomReferenceWidth, kZoomReferenceHeight));
        if (showDetailImage(photo, generation, image, zoom))
            tellLoaded(nullptr);
    });
}

void PavCloudPhotoScrollView_iPad::failed(int photo, quint64 generation, const DiskError& error)
{
    if (!isCurrent(photo, generation))
        return;
    m_loadingView->loadingFailed();
    detailFailed(photo, generation);
    tellLoaded(&error);
}
