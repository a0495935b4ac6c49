#include "analytics/packages/NSResponsePackage.h"

#include "analytics/facade/AnaProtocolDataRegister.h"
#include "analytics/kel/KelInputStream.h"
#include "analytics/packages/NSMixPackage.h"
#include "analytics/packages/NSSecurityStrategyPackage.h"
#include "analytics/packages/NSUploadStrategyPackage.h"

std::shared_ptr<NSResponsePackage> NSResponsePackage::initWithNuxModel(const common::ResponsePackage& model)
{
    auto response = std::make_shared<NSResponsePackage>();
    response->cmd = model.cmd;
    response->result = char(model.result);
    response->encryType = char(model.encryType);
    response->zipType = char(model.zipType);
    response->serverTime = model.serverTime;
    response->gateWayIp = QString::fromStdString(model.gateWayIp);
    switch (model.cmd) {
    case 10:
        setAllStrategy(model, *response);
        break;
    case 8:
        setUploadStrategy(model, *response);
        break;
    case 7:
        setSecurityStrategy(model, *response);
        break;
    default:
        if (auto object = AnaProtocolDataRegister::sharedInstance().makeResponseObject(model.cmd)) {
            analyticsrov::KelInputStream is(model.sBuffer);
            object->initLocalObjWithNuxBuffer(is);
            response->sBuffer = object;
        }
        break;
    }
    return response;
}

void NSResponsePackage::setAllStrategy(const common::ResponsePackage& model, NSResponsePackage& response)
{
    analyticsrov::KelInputStream is(model.sBuffer);
    is.limitElements(kMaxStrategyEntries);
    std::map<int32_t, analyticsrov::KelBytes> map;
    is.read(map, 0, true);
    auto mix = std::make_shared<NSMixPackage>();
    mix->initWithMXNuxModel(map);
    response.sBuffer = mix;
}

void NSResponsePackage::setSecurityStrategy(const common::ResponsePackage& model, NSResponsePackage& response)
{
    analyticsrov::KelInputStream is(model.sBuffer);
    strategy::SecurityStrategyPackage security;
    security.readFrom(is);
    auto mirror = std::make_shared<NSSecurityStrategyPackage>();
    mirror->initWithSecNuxModel(security);
    response.sBuffer = mirror;
}

void NSResponsePackage::setUploadStrategy(const common::ResponsePackage& model, NSResponsePackage& response)
{
    analyticsrov::KelInputStream is(model.sBuffer);
    strategy::UploadStrategyPackage upload;
    upload.readFrom(is);
    auto mirror = std::make_shared<NSUploadStrategyPackage>();
    mirror->initWithUpNuxModel(upload);
    response.sBuffer = mirror;
}
