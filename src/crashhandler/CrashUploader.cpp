#include "crashhandler/CrashUploader.h"

#include "analytics/facade/Analytics.h"
#include "analytics/facade/AnalyticsOperationCenter.h"
#include "analytics/packages/NSMixPackage.h"
#include "analytics/packages/NSRequestPackage.h"
#include "analytics/strategy/LocalStrategy.h"
#include "analytics/transport/AnaNetWorkHandlerQueue.h"
#include "analytics/transport/AnaNetworkState.h"
#include "analytics/transport/AnaRequestDataPackage.h"
#include "crashhandler/AnaCrashUploadHandler.h"
#include "crashhandler/AnaCrashUploadPackage.h"
#include "crashhandler/CrashHandler.h"
#include "crashhandler/CrashReporter.h"

#include <QSet>

#include <new>

CrashUploader::CrashUploader(CrashReporter& reporter, CrashHandler& handler)
    : CrashUploader(reporter, handler, Collaborators{})
{
}

CrashUploader::CrashUploader(CrashReporter& reporter, CrashHandler& handler, Collaborators collaborators)
    : m_reporter(reporter), m_handler(handler), m_collaborators(collaborators)
{
}

CrashUploader& CrashUploader::installFor(CrashReporter& reporter)
{
    static CrashUploader* uploader = [&reporter] {
        auto* made = new CrashUploader(reporter, CrashHandler::sharedInstance());
        made->registerHandler();
        CrashHandler::sharedInstance().setWlanProbe([] { return AnaNetworkState::current().wlan; });
        reporter.setUpload(made);
        return made;
    }();
    return *uploader;
}

AnalyticsOperationCenter& CrashUploader::operations()
{
    return m_collaborators.operations ? *m_collaborators.operations : AnalyticsOperationCenter::sharedInstance();
}

AnaNetWorkHandlerQueue& CrashUploader::handlers()
{
    return m_collaborators.handlers ? *m_collaborators.handlers : AnaNetWorkHandlerQueue::sharedInstance();
}

Analytics& CrashUploader::facade()
{
    return m_collaborators.facade ? *m_collaborators.facade : Analytics::getDefualtAnalytics();
}

void CrashUploader::registerHandler()
{
    handlers().registHandlerClass([this] { return std::make_shared<AnaCrashUploadHandler>(this); }, kHandlerKey);
}

std::shared_ptr<CrashUploadResultDelegete> CrashUploader::delegate() const
{
    std::lock_guard lock(m_mutex);
    return m_delegate.lock();
}

void CrashUploader::setDelegate(std::weak_ptr<CrashUploadResultDelegete> delegate)
{
    std::lock_guard lock(m_mutex);
    m_delegate = std::move(delegate);
}

bool CrashUploader::uploadCrashes(std::weak_ptr<CrashUploadResultDelegete> delegate)
{
    setDelegate(std::move(delegate));
    operations().addOperation([this] { doUpload(); });
    return true;
}

void CrashUploader::doUpload()
{
    std::lock_guard lock(m_mutex);
    if (m_handler.stopRequested() || !AnaNetworkState::current().available)
        return;
    // A record sent while its store cannot be written would be sent again
    // by every launch: it waits for a launch that can mark it.
    if (!m_handler.canMarkSent())
        return;
    // Nothing is marked before the answer: see uploadSucceeded.
    std::shared_ptr<NSRequestPackage> package;
    try {
        package = getUploadPkg(kBudget, false);
    } catch (const std::bad_alloc&) {
        qWarning("crash upload: out of memory packing the records; they wait for a later launch");
        return;
    }
    // Packing large records takes a while: a stop asked meanwhile sends nothing.
    if (!package || m_handler.stopRequested())
        return;
    auto request = AnaRequestDataPackage::initWithRequestPackage(package, kPriority, kHandlerKey,
                                                                 facade().strategy()->uploadServer);
    request->needRetry = true;
    handlers().addRequest(request);
}

void CrashUploader::addCustomAttachLog(const Records& records)
{
    const QMap<QString, QString> logs = m_reporter.attachLogs();
    if (logs.isEmpty())
        return;
    for (const auto& record : records) {
        auto crash = std::dynamic_pointer_cast<NSExpUpload>(record);
        const auto it = logs.constFind(QString::number(record ? record->time() : 0));
        if (!crash || it == logs.constEnd() || crash->attachmentList.empty())
            continue;
        exceptionupload::Attachment attachment;
        attachment.type = 11;
        attachment.fileName = kAttachName;
        const QByteArray text = it.value().toUtf8();
        attachment.data.assign(text.begin(), text.end());
        crash->attachmentList.push_back(std::move(attachment));
    }
}

void CrashUploader::pruneAttachLogs()
{
    const CrashAttachFile file = m_reporter.attachFile();
    QMap<QString, QString> logs = file.read();
    if (logs.isEmpty())
        return;
    QSet<QString> stored;
    for (qint64 time : m_handler.storedCrashTimes())
        stored << QString::number(time);
    const qsizetype before = logs.size();
    logs.removeIf([&stored](auto entry) { return !stored.contains(entry.key()); });
    if (logs.size() != before)
        file.write(logs);
}

void CrashUploader::consumeAttachLogs(const Records& records)
{
    QList<qint64> times;
    for (const auto& record : records)
        if (record)
            times << record->time();
    m_reporter.attachFile().remove(times);
}

std::shared_ptr<NSRequestPackage> CrashUploader::getUploadPkg(int32_t budget, bool clean)
{
    std::lock_guard lock(m_mutex);
    const Records sentBefore = m_handler.getCrashBeforeTodayWithOneCount();
    if (!sentBefore.empty())
        m_handler.cleanCrashReports(sentBefore);
    const Records chosen = m_handler.getCrashedNeedUpload(AnaNetworkState::current().wlan ? 10 : 3);
    if (chosen.empty())
        return nullptr;
    pruneAttachLogs();
    addCustomAttachLog(chosen);

    Records taken;
    int64_t total = 0;
    for (const auto& record : chosen) {
        total += record->encodeData().size();
        if (budget > 0 && !taken.empty() && total >= budget)
            break;
        taken.push_back(record);
    }
    if (clean) {
        m_handler.doUploadPostProcess(taken);
        consumeAttachLogs(taken);
    }
    auto body = std::make_shared<AnaCrashUploadPackage>();
    body->addPkgElements(taken);
    auto mix = std::make_shared<NSMixPackage>();
    mix->mixMap.emplace();
    (*mix->mixMap)[kMixKey] = body;
    return NSRequestPackage::fromModel(kCommand, mix);
}

CrashUploader::Records CrashUploader::recordsOf(const NSRequestPackage& package)
{
    auto mix = std::dynamic_pointer_cast<NSMixPackage>(package.sBuffer);
    if (!mix || !mix->mixMap)
        return {};
    const auto it = mix->mixMap->find(kMixKey);
    auto body = it == mix->mixMap->end() ? nullptr : std::dynamic_pointer_cast<AnaCrashUploadPackage>(it->second);
    return body ? body->getPkgElements() : Records{};
}

void CrashUploader::uploadSucceeded(const NSRequestPackage& package)
{
    std::lock_guard lock(m_mutex);
    const Records records = recordsOf(package);
    m_handler.doUploadPostProcess(records);
    consumeAttachLogs(records);
}

QByteArray CrashUploader::getUploadData(bool clean, AnaError* error)
{
    std::lock_guard lock(m_mutex);
    try {
        return m_upload.getUploadData(clean, error, [this](bool c) { return getUploadPkg(kBudget, c); });
    } catch (const std::bad_alloc&) {
        qWarning("crash upload: out of memory encoding the records; they wait for a later launch");
        m_upload.clear();
        return {};
    }
}

bool CrashUploader::uploadFinishWithResult(bool success, AnaError* /*error*/)
{
    std::lock_guard lock(m_mutex);
    if (success && m_upload.pending()) {
        const Records records = recordsOf(*m_upload.pending());
        m_handler.cleanCrashReports(records);
        consumeAttachLogs(records);
    }
    m_upload.clear();
    return true;
}
