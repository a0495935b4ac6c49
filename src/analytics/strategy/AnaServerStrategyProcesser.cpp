#include "analytics/strategy/AnaServerStrategyProcesser.h"

#include "analytics/AnaModel.h"
#include "analytics/AnaSqlitePersistHandler.h"
#include "analytics/facade/AnaModule.h"
#include "analytics/facade/Analytics.h"
#include "analytics/packages/NSMixPackage.h"
#include "analytics/packages/NSResponsePackage.h"
#include "analytics/packages/NSSecurityStrategyPackage.h"
#include "analytics/packages/NSUploadStrategyPackage.h"
#include "analytics/strategy/LocalStrategy.h"
#include "analytics/transport/AnaUploadAddress.h"
#include "platform/core/Clock.h"

namespace {

void applySecurity(LocalStrategy& strategy, const NSSecurityStrategyPackage* package)
{
    if (!package)
        return;
    strategy.encAlg = package->encryAlgorithm;
    strategy.zipAlg = package->zipAlgorithm;
    if (LocalStrategy::isUsableKey(package->encryKey))
        strategy.encKey = package->encryKey;
    if (LocalStrategy::isUsableKey(package->encryPublicKey))
        strategy.encPubKey = package->encryPublicKey;
}

void applyUpload(LocalStrategy& strategy, const NSUploadStrategyPackage* package)
{
    if (!package)
        return;
    strategy.maxPkgSize = package->maxPackageSize;
    strategy.uploadStrategy = package->uploadStrategy;
    if (AnaUploadAddress::isUsableUrl(package->uploadServer))
        strategy.uploadServer = package->uploadServer;
    strategy.testCount = package->testCount;
    AnaServerStrategyProcesser::updateModuleStrategy(strategy, package);
}

template <typename T>
const T* entry(const NSMixPackage& mix, int key)
{
    if (!mix.mixMap)
        return nullptr;
    const auto it = mix.mixMap->find(key);
    return it == mix.mixMap->end() ? nullptr : dynamic_cast<const T*>(it->second.get());
}

}

AnaServerStrategyProcesser& AnaServerStrategyProcesser::sharedInstance()
{
    static AnaServerStrategyProcesser processor;
    return processor;
}

bool AnaServerStrategyProcesser::procees(const NSResponsePackage& response)
{
    return procees(response, Analytics::getDefualtAnalytics());
}

bool AnaServerStrategyProcesser::procees(const NSResponsePackage& response, Analytics& facade)
{
    std::lock_guard lock(m_mutex);
    if (analyzeStrategy(response, facade))
        return applyStrategyToModule(facade);
    return false;
}

bool AnaServerStrategyProcesser::analyzeStrategy(const NSResponsePackage& response, Analytics& facade)
{
    AnaModel& model = AnaModel::getDefualtAnaModel();
    if (!response.gateWayIp.isNull())
        model.setGatewayIP(response.gateWayIp);
    if (response.serverTime > 0) {
        const double nowSeconds = double(facade.clock().now().toMSecsSinceEpoch()) / 1000.0;
        model.setServerTimeDelta(int64_t(double(response.serverTime / 1000) - nowSeconds));
        model.setGotServerTime(true);
    }

    auto strategy = std::make_shared<LocalStrategy>(*facade.strategy());
    const AnaPackageObject* body = response.sBuffer.get();
    switch (response.cmd) {
    case 7:
        applySecurity(*strategy, dynamic_cast<const NSSecurityStrategyPackage*>(body));
        break;
    case 8:
        applyUpload(*strategy, dynamic_cast<const NSUploadStrategyPackage*>(body));
        break;
    case 10:
        if (const auto* mix = dynamic_cast<const NSMixPackage*>(body)) {
            applySecurity(*strategy, entry<NSSecurityStrategyPackage>(*mix, 7));
            applyUpload(*strategy, entry<NSUploadStrategyPackage>(*mix, 8));
        }
        break;
    default:
        break;
    }
    strategy->checkSafe();
    facade.store().updateLocalStrategy(*strategy, nullptr);
    facade.setStrategy(strategy);
    for (const auto& module : facade.anaModules())
        module->executeServerStrategyInit(response);
    return true;
}

void AnaServerStrategyProcesser::updateModuleStrategy(LocalStrategy& strategy, const NSUploadStrategyPackage* package)
{
    if (!package || !package->moduleStrategy)
        return;
    bool speed = false, event = false, crash = false;
    for (const auto& [id, on] : *package->moduleStrategy) {
        if (id == 2)
            speed = on;
        else if (id == 1)
            event = on;
        else if (id == 3)
            crash = on;
    }
    strategy.enableSpeedTrack = speed;
    strategy.enableEventRecord = event;
    strategy.enableCrashReport = crash;
}

bool AnaServerStrategyProcesser::applyStrategyToModule(Analytics& facade)
{
    const auto modules = facade.anaModules();
    for (const auto& module : modules)
        module->checkAndEnable();
    for (const auto& module : modules)
        module->executeFunction();
    return true;
}
