#include "analytics/transport/AnaRequestDataPackage.h"

#include "analytics/transport/AnaUploadAddress.h"

AnaRequestDataPackage::AnaRequestDataPackage() : serverUrl(AnaUploadAddress::defaultUrl()) {}

std::shared_ptr<AnaRequestDataPackage> AnaRequestDataPackage::initWithRequestPackage(
    std::shared_ptr<NSRequestPackage> package, int priority, const QString& handlerKey, const QString& serverUrl)
{
    auto request = std::make_shared<AnaRequestDataPackage>();
    request->requestPackage = std::move(package);
    request->priority = priority;
    request->handlerKey = handlerKey;
    request->serverUrl = serverUrl;
    return request;
}

std::shared_ptr<AnaRequestDataPackage> AnaRequestDataPackage::setNuxPackageKey(const QString& key,
                                                                               const QString& servant,
                                                                               const QString& func)
{
    auto request = std::make_shared<AnaRequestDataPackage>();
    request->reqKey = key;
    request->reqFunc = func;
    request->reqServant = servant;
    return request;
}
