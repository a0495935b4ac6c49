#include "analytics/mixupload/AnaMixDataUploader.h"

#include "analytics/AnaSqlitePersistHandler.h"
#include "analytics/facade/Analytics.h"
#include "analytics/mixupload/AnaMixDataPersistDataMaxSizeChecker.h"
#include "analytics/packages/NSMixPackage.h"
#include "analytics/packages/NSRequestPackage.h"
#include "analytics/strategy/LocalStrategy.h"
#include "analytics/transport/AnaNetWorkHandlerQueue.h"
#include "analytics/transport/AnaNetworkState.h"
#include "analytics/transport/AnaRequestDataPackage.h"

#include <QVariantList>

AnaMixDataUploader::AnaMixDataUploader(Analytics* facade) : m_facade(facade) {}

AnaMixDataUploader& AnaMixDataUploader::sharedInstance()
{
    static AnaMixDataUploader uploader;
    return uploader;
}

Analytics& AnaMixDataUploader::facade()
{
    return m_facade ? *m_facade : Analytics::getDefualtAnalytics();
}

void AnaMixDataUploader::registUploadObjectType(int type)
{
    std::lock_guard lock(m_mutex);
    m_types.insert(type);
}

void AnaMixDataUploader::removeUploadObjectTypeUsingKey(int type)
{
    std::lock_guard lock(m_mutex);
    m_types.erase(type);
}

QList<int> AnaMixDataUploader::getRegistedUploadTypes() const
{
    std::lock_guard lock(m_mutex);
    return QList<int>(m_types.begin(), m_types.end());
}

void AnaMixDataUploader::reachMaxsize()
{
    std::lock_guard lock(m_mutex);
    checkAndUpload();
}

void AnaMixDataUploader::checkAndUpload()
{
    if (!m_isUploading && AnaMixDataPersistDataMaxSizeChecker(&facade()).checkMaxSizeWithStrategy())
        doUpload();
}

void AnaMixDataUploader::checkAndDoOnstartUpload()
{
    std::lock_guard lock(m_mutex);
    if (!m_isUploading && AnaMixDataPersistDataMaxSizeChecker(&facade()).checkOnstartUploadWithStrategy()) {
        m_isUploading = true;
        doUpload();
    }
}

void AnaMixDataUploader::doUpload()
{
    std::lock_guard lock(m_mutex);
    // The batch stays stored until its answer says result 0.
    auto package = getUploadPkg(kByteLimit, false);
    if (!package || !package->sBuffer) {
        m_isUploading = false;
        return;
    }
    auto request = AnaRequestDataPackage::initWithRequestPackage(package, 1, Analytics::kMixDataUploadHanderKey,
                                                                 facade().strategy()->uploadServer);
    request->needRetry = true;
    // The records stay stored until the answer: one batch in flight at a
    // time, or the next would carry the same records again. The flag is up
    // before the request goes: a handler that ends at once (refused, no
    // network) clears it on its own thread, maybe before addRequest returns.
    m_isUploading = true;
    if (!facade().handlers().addRequest(request))
        m_isUploading = false;
}

std::shared_ptr<NSRequestPackage> AnaMixDataUploader::getUploadPkg(long byteLimit, bool clean)
{
    std::lock_guard lock(m_mutex);
    const auto strategy = facade().strategy();
    int recordLimit = strategy->maxPkgSize < 1 ? 50 : strategy->maxPkgSize;
    if (AnaNetworkState::current().wlan) {
        recordLimit *= 2;
        byteLimit *= 2;
    }
    AnaError error;
    const auto records = facade().store().getObjectsWithCountOfTypes(getRegistedUploadTypes(), recordLimit, &error);
    if (error.code != 0)
        return nullptr;
    AnaRecordList taken;
    QVariantList ids;
    long sum = 0;
    for (const auto& record : records) {
        sum += record->encLength();
        // The first record always goes, or a record larger than the limit
        // would block every later batch.
        if (byteLimit > 0 && !taken.empty() && sum >= byteLimit)
            break;
        taken.push_back(record);
        ids << record->id();
    }
    if (taken.empty())
        return nullptr;
    auto mix = std::make_shared<NSMixPackage>();
    mix->addUploadElements(taken);
    // Without a package class for any type the mix would go out empty and
    // its records would never leave the store.
    if (!mix->mixMap || mix->mixMap->empty())
        return nullptr;
    if (clean && !ids.isEmpty())
        facade().store().deleteObjectsByIds(ids, nullptr);
    return NSRequestPackage::fromModel(4, mix);
}

bool AnaMixDataUploader::deleteUploadData(const NSRequestPackage& package)
{
    auto mix = std::dynamic_pointer_cast<NSMixPackage>(package.sBuffer);
    const auto elements = mix ? mix->getUploadElements() : std::nullopt;
    if (!elements || elements->empty())
        return false;
    QVariantList ids;
    for (const auto& record : *elements)
        if (record)
            ids << record->id();
    if (ids.isEmpty())
        return false;
    AnaError error;
    return facade().store().deleteObjectsByIds(ids, &error) && error.code == 0;
}

QByteArray AnaMixDataUploader::getUploadData(bool clean, AnaError* error)
{
    std::lock_guard lock(m_mutex);
    return m_upload.getUploadData(clean, error, [this](bool c) { return getUploadPkg(kByteLimit, c); });
}

bool AnaMixDataUploader::uploadFinishWithResult(bool success, AnaError* /*error*/)
{
    std::lock_guard lock(m_mutex);
    if (success && m_upload.pending()) {
        if (!deleteUploadData(*m_upload.pending()))
            return false;
        m_upload.clear();
        return true;
    }
    m_upload.clear();
    return true;
}
