#include "albums/cloud/CloudAlbumBatches.h"

#include "Public/PavAlertView.h"
#include "Public/PavStringFormat.h"
#include "Public/PavToastView_iPad.h"
#include "albums/cloud/CloudItemResponse.h"
#include "albums/cloud/CloudPhotoCopy.h"
#include "disk/DiskFileHelper.h"
#include "disk/DiskManager.h"
#include "disk/PavCloudAlbumManager.h"
#include "platform/core/Localization.h"
#include "platform/core/MainThread.h"
#include "platform/photolib/PhotoLibrary.h"
#include "platform/sys/IdleTimer.h"
#include "platform/sys/NetworkHelper.h"

#include <vector>

namespace {

CloudAlbumBatches::Collaborators withDefaults(CloudAlbumBatches::Collaborators c)
{
    if (!c.disk)
        c.disk = &DiskManager::shareDiskManager();
    if (!c.cloud)
        c.cloud = &PavCloudAlbumManager::sharePavCloudAlbumManager();
    if (!c.library)
        c.library = PhotoLibrary::shared();
    if (!c.network)
        c.network = [] { return NetworkHelper::getNetworkConnction(); };
    if (!c.panelHost)
        c.panelHost = &BatchSession::rootHost;
    if (!c.usage)
        c.usage = AlbumUsage::defaultRecorder();
    if (!c.idleTimer)
        c.idleTimer = &IdleTimer::shared();
    return c;
}

}

CloudAlbumBatches::CloudAlbumBatches(Host host, Collaborators collaborators, QObject* parent)
    : QObject(parent), m_host(std::move(host)), m_c(withDefaults(std::move(collaborators))),
      m_saveRunner(std::make_unique<BatchRunner>(kDownloadQueue, *m_c.idleTimer)),
      m_deleteRunner(std::make_unique<BatchRunner>(kDeleteQueue, *m_c.idleTimer))
{
    // A stopped download reports nothing the batch waits for: the grace
    // releases it. A running deletion is always waited for.
    m_saveRunner->setStopGraceMs(kCancelGraceMs);
    // The save bar follows the next download.
    m_session.follow(*m_saveRunner, this, true, [this](const BatchOutcome& o) { batchDownloadFinished(o); });
    m_session.follow(*m_deleteRunner, this, false, [this](const BatchOutcome& o) { batchDeleteFinished(o); });
}

CloudAlbumBatches::~CloudAlbumBatches() = default;

bool CloudAlbumBatches::isRunning() const
{
    return m_saveRunner->isRunning() || m_deleteRunner->isRunning() || m_session.isEnding();
}

void CloudAlbumBatches::recordUsage(int eventId)
{
    if (m_c.usage)
        m_c.usage(eventId);
}

quint64 CloudAlbumBatches::totalSizeOfSelectedPhotos() const
{
    quint64 total = 0;
    if (m_host.selection) {
        for (const DiskFilePtr& file : m_host.selection())
            total += file->file_size() > 0 ? quint64(file->file_size()) : 0;
    }
    return total;
}

bool CloudAlbumBatches::cancelFlag(Kind kind) const
{
    return kind == Kind::Save ? m_c.cloud->needCancelDownload() : m_c.cloud->needCancelDelete();
}

void CloudAlbumBatches::setCancelFlag(Kind kind, bool value)
{
    if (kind == Kind::Save)
        m_c.cloud->setNeedCancelDownload(value);
    else
        m_c.cloud->setNeedCancelDelete(value);
}

// ---- the buttons -----------------------------------------------------------

void CloudAlbumBatches::saveButtonClicked()
{
    recordUsage(kSavePressedEvent);
    if (isRunning())
        return;
    switch (m_c.network()) {
    case NetworkConnectionNone:
        showAlert(CloudBatchNotice::networkErrorText());
        return;
    case NetworkConnectionInternet:
        showAlert(L("当前网络为普通网络，保存选中图片约耗%1流量，确定保存？")
                      .arg(PavStringFormat::kmgStringForNumber(totalSizeOfSelectedPhotos())),
                  kSaveOverCellularTag, {L("确定")});
        return;
    default:
        batchDownload();
    }
}

void CloudAlbumBatches::deleteButtonClicked()
{
    recordUsage(kDeletePressedEvent);
    if (isRunning())
        return;
    showAlert(L("确定要删除照片？"), kDeleteConfirmTag, {L("删除")});
}

void CloudAlbumBatches::alertViewClickedButtonAtIndex(ui::Alert* alert, int buttonIndex)
{
    if (buttonIndex != 1)
        return;
    if (alert->tag() == kSaveOverCellularTag)
        batchDownload();
    else if (alert->tag() == kDeleteConfirmTag)
        batchDelete();
}

void CloudAlbumBatches::showAlert(const QString& message, int tag, const QStringList& others)
{
    auto* alert = new PavAlertView(QString(), message, others.isEmpty() ? nullptr : this,
                                   others.isEmpty() ? L("确定") : L("取消"), others);
    alert->setTag(tag);
    alert->show();
}

// ---- running ---------------------------------------------------------------

void CloudAlbumBatches::batchDownload()
{
    begin(Kind::Save);
}

void CloudAlbumBatches::batchDelete()
{
    begin(Kind::Delete);
}

bool CloudAlbumBatches::begin(Kind kind)
{
    const QList<DiskFilePtr> items = m_host.selection ? m_host.selection() : QList<DiskFilePtr>();
    if (isRunning() || items.isEmpty())
        return false;
    setCancelFlag(kind, false);
    const unsigned total = unsigned(items.size());
    const bool save = kind == Kind::Save;
    m_session.open(m_c.panelHost(), total, save ? L("照片正在保存...") : L("照片正在删除..."),
                   save ? kSavePanelTag : kDeletePanelTag, this);
    // The worker reads its own copy of the selection, never the screen's state.
    auto files = std::make_shared<const std::vector<DiskFilePtr>>(items.begin(), items.end());
    QPointer<CloudAlbumBatches> self(this);
    return runner(kind).start(total, [self, kind, files](BatchCompletion item) {
        const DiskFilePtr file = item.index() < files->size() ? (*files)[item.index()] : nullptr;
        MainThread::post([self, kind, file, item]() mutable {
            if (!self || item.isAnswered())
                return;
            if (!file) {
                item.fail();
                return;
            }
            // The album state's flag, set by someone other than the panel.
            if (self->cancelFlag(kind) && !self->runner(kind).isStopRequested())
                self->runner(kind).requestStop(BatchStopReason::User);
            if (kind == Kind::Save)
                self->saveItem(file, std::move(item));
            else
                self->deleteItem(file, std::move(item));
        });
    });
}

std::shared_ptr<CloudItemResponse> CloudAlbumBatches::makeResponse(Kind kind)
{
    auto response = std::make_shared<CloudItemResponse>();
    // No summary then: the batch ends with this item and asks for the sign-in.
    response->requireLogin = [this, kind] { runner(kind).requestStop(BatchStopReason::SignInLapsed); };
    m_response = response;
    return response;
}

void CloudAlbumBatches::saveItem(const DiskFilePtr& file, BatchCompletion item)
{
    auto response = makeResponse(Kind::Save);
    response->progress = [item](float percent) { item.progress(percent / 100.f); };
    response->succeeded = [this, file, item] { saveDownloaded(file, item); };
    response->failed = [this, item](const DiskError& error) mutable {
        m_curDownloadPhoto.reset();
        // A download the cancel stopped: the grace ends the batch.
        if (error.code == DiskErrorCode::kStopped && m_saveRunner->isStopRequested())
            return;
        if (m_c.network() == NetworkConnectionNone) {
            m_saveRunner->requestStop(BatchStopReason::NetworkLost);
            m_session.disableCancel();
        }
        item.fail();
    };
    m_curDownloadPhoto = file;
    m_c.disk->requestDownloadFile(file, response.get());
}

void CloudAlbumBatches::saveDownloaded(const DiskFilePtr& file, BatchCompletion item)
{
    m_curDownloadPhoto.reset();
    // The original bytes, whole and checked, or nothing.
    const QByteArray bytes = CloudPhotoCopy::checkedBytes(*file);
    if (bytes.isEmpty()) {
        item.fail();
        return;
    }
    m_session.setProgress(1.0f);
    m_c.library->saveToLibrary(bytes, DiskFileHelper::upperExtension(file->file_name()), file->file_ctime(),
                               [item](const PhotoLibrary::SaveResult& result) mutable { item.finish(result.ok()); });
}

void CloudAlbumBatches::deleteItem(const DiskFilePtr& file, BatchCompletion item)
{
    auto response = makeResponse(Kind::Delete);
    response->succeeded = [item]() mutable { item.succeed(); };
    response->failed = [item](const DiskError&) mutable { item.fail(); };
    m_c.disk->requestDeleteFile(file, response.get());
}

void CloudAlbumBatches::photosProcessingViewCancelButtonClicked(PavPhotosProcessingView_iPad* view)
{
    if (!view || view != m_session.panel() || m_session.isEnding())
        return;
    if (view->tag() == kSavePanelTag) {
        setCancelFlag(Kind::Save, true);
        m_saveRunner->requestStop(BatchStopReason::User);
        if (m_curDownloadPhoto)
            m_c.disk->requestStopDownloadFile(m_curDownloadPhoto);
        return;
    }
    setCancelFlag(Kind::Delete, true);
    m_deleteRunner->requestStop(BatchStopReason::User);
}

void CloudAlbumBatches::finished(Kind kind, const BatchOutcome& outcome)
{
    m_session.finish(this, [this, kind, outcome] { announceEnd(kind, outcome); });
}

void CloudAlbumBatches::announceEnd(Kind kind, const BatchOutcome& outcome)
{
    m_response.reset();
    m_curDownloadPhoto.reset();
    const CloudBatchNotice notice = CloudBatchNotice::decide(
        kind == Kind::Save ? CloudBatchNotice::Batch::Save : CloudBatchNotice::Batch::Delete, outcome);
    m_lastNotice = notice;
    if (notice.usageEvent)
        recordUsage(notice.usageEvent);
    if (notice.kind == CloudBatchNotice::Kind::Toast)
        PavToastView_iPad::showSuccessToastViewWithMessage(notice.message, CloudBatchNotice::kToastSeconds);
    else if (notice.kind == CloudBatchNotice::Kind::Alert)
        showAlert(notice.message);
    // A lapsed sign-in lists nothing again: the sign-in comes first.
    const bool lapsed = outcome.reason() == BatchStopReason::SignInLapsed;
    if (m_host.leaveEditMode)
        m_host.leaveEditMode(kind == Kind::Delete && !lapsed);
    setCancelFlag(kind, false);
    if (lapsed && m_host.signInLapsed)
        m_host.signInLapsed();
    emit batchFinished();
}
