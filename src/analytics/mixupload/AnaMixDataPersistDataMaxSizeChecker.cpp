#include "analytics/mixupload/AnaMixDataPersistDataMaxSizeChecker.h"

#include "analytics/AnaSqlitePersistHandler.h"
#include "analytics/facade/Analytics.h"
#include "analytics/mixupload/AnaUploader.h"
#include "analytics/strategy/LocalStrategy.h"
#include "analytics/transport/AnaNetworkState.h"

AnaMixDataPersistDataMaxSizeChecker::AnaMixDataPersistDataMaxSizeChecker(Analytics* facade) : m_facade(facade) {}

AnaMixDataPersistDataMaxSizeChecker& AnaMixDataPersistDataMaxSizeChecker::sharedInstance()
{
    static AnaMixDataPersistDataMaxSizeChecker checker;
    return checker;
}

Analytics& AnaMixDataPersistDataMaxSizeChecker::facade()
{
    return m_facade ? *m_facade : Analytics::getDefualtAnalytics();
}

void AnaMixDataPersistDataMaxSizeChecker::setMaxSizeDataListener(AnaUplaodNotifier* listener)
{
    std::lock_guard lock(m_mutex);
    m_listener = listener;
}

void AnaMixDataPersistDataMaxSizeChecker::onPersist()
{
    AnaUplaodNotifier* listener = nullptr;
    {
        std::lock_guard lock(m_mutex);
        listener = m_listener;
    }
    if (listener && checkMaxSizeWithStrategy())
        listener->reachMaxsize();
}

bool AnaMixDataPersistDataMaxSizeChecker::checkOnstartUploadWithStrategy()
{
    const AnaNetworkState network = AnaNetworkState::current();
    if (!facade().analyticsEnabled() || !network.available)
        return false;
    if (network.wlan)
        return true;
    return facade().strategy()->uploadStrategy != 1;
}

bool AnaMixDataPersistDataMaxSizeChecker::checkMaxSizeWithStrategy()
{
    if (!facade().analyticsEnabled() || !AnaNetworkState::current().available)
        return false;
    const auto strategy = facade().strategy();
    switch (strategy->uploadStrategy) {
    case 0:
        return true;
    case 2:
        return false;
    default:
        return checkMixSizeForUpload(strategy->maxPkgSize);
    }
}

QList<int> AnaMixDataPersistDataMaxSizeChecker::uploadTypes()
{
    const auto strategy = facade().strategy();
    QList<int> types;
    if (strategy->enableSpeedTrack && facade().userEnableSpeedtrack())
        types << 0 << 1;
    if (strategy->enableEventRecord && facade().userEnableEventUpload())
        types << 2;
    return types;
}

bool AnaMixDataPersistDataMaxSizeChecker::checkMixSizeForUpload(int batchSize)
{
    const int threshold = AnaNetworkState::current().wlan ? batchSize / 2 : batchSize;
    AnaError error;
    const int count = facade().store().getObjectCountOfTypes(uploadTypes(), &error);
    if (error.code != 0 || count <= 0)
        return false;
    return count >= threshold;
}
