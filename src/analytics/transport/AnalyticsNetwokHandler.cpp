#include "analytics/transport/AnalyticsNetwokHandler.h"

#include "analytics/facade/AnaModule.h"
#include "analytics/facade/Analytics.h"
#include "analytics/strategy/LocalStrategy.h"
#include "analytics/transport/AnaRequestDataPackage.h"
#include "analytics/transport/CommunicateInterface.h"

bool AnalyticsNetwokHandler::confirmed()
{
    auto confirmer = Analytics::getDefualtAnalytics().uploadConfirmer();
    return !confirmer || confirmer->confirmUpload();
}

bool AnalyticsNetwokHandler::prepare(const std::shared_ptr<AnaRequestDataPackage>& request)
{
    if (!confirmed()) {
        onRequestCancel();
        return false;
    }
    if (request && !engine()) {
        const auto strategy = Analytics::getDefualtAnalytics().strategy();
        CommunicateInterface::Config config;
        config.servUrl = request->serverUrl;
        config.requestKey = request->reqKey;
        config.requestServant = request->reqServant;
        config.requestFunc = request->reqFunc;
        config.zipAlg = strategy->zipAlg;
        config.encAlg = strategy->encAlg;
        config.encKey = strategy->encKey;
        config.encPubKey = strategy->encPubKey;
        setEngine(std::make_shared<CommunicateInterface>(config));
    }
    return AnaNetworkHandlerBase::prepare(request);
}

bool AnalyticsNetwokHandler::retryRequest()
{
    if (!confirmed()) {
        onRequestCancel();
        return false;
    }
    return AnaNetworkHandlerBase::retryRequest();
}
