#include "analytics/packages/NSRequestPackage.h"

#include "analytics/AnaModel.h"
#include "analytics/kel/KelOutputStream.h"

std::shared_ptr<NSRequestPackage> NSRequestPackage::initWithData(
    const QString& productId, const QString& productVersion, const QString& sdkId,
    const QString& sdkVersion, int cmd, std::shared_ptr<AnaNSObjTransToKelBufferProtocol> sBuffer)
{
    auto package = std::make_shared<NSRequestPackage>();
    package->platformId = 2;
    package->productId = productId;
    package->productVersion = productVersion;
    package->sdkId = sdkId;
    package->sdkVersion = sdkVersion;
    package->cmd = cmd;
    package->sBuffer = std::move(sBuffer);
    return package;
}

std::shared_ptr<NSRequestPackage> NSRequestPackage::fromModel(
    int cmd, std::shared_ptr<AnaNSObjTransToKelBufferProtocol> sBuffer)
{
    const AnaModel& model = AnaModel::getDefualtAnaModel();
    auto package = initWithData(model.appId(), model.appVersion(), model.sdkId(), model.sdkVersion(), cmd,
                                std::move(sBuffer));
    if (!model.hardwareOs().isNull())
        package->hardwareOs = model.hardwareOs();
    if (!model.qua().isNull())
        package->qua = model.qua();
    if (!model.appVerbuild().isNull())
        package->appVerBuild = model.appVerbuild();
    return package;
}

void NSRequestPackage::createNuxModel(common::RequestPackage& model) const
{
    model.platformId = int8_t(platformId);
    model.cmd = cmd;
    model.encryType = int8_t(encryType);
    model.zipType = int8_t(zipType);
    model.productId = productId.toStdString();
    model.productVersion = productVersion.toStdString();
    model.sdkId = sdkId.toStdString();
    model.sdkVersion = sdkVersion.toStdString();
    model.appVerBuild = appVerBuild.toStdString();
    if (!hardwareOs.isNull())
        model.hardwareOs = hardwareOs.toStdString();
    if (!qua.isNull())
        model.qua = qua.toStdString();
    if (!reserved.isNull())
        model.reserved = reserved.toStdString();
    if (sBuffer) {
        analyticsrov::KelOutputStream os;
        sBuffer->setDataToBuffer(os);
        model.sBuffer = os.takeBytes();
    }
}
