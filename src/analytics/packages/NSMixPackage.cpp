#include "analytics/packages/NSMixPackage.h"

#include "analytics/facade/AnaProtocolDataRegister.h"
#include "analytics/kel/KelInputStream.h"
#include "analytics/kel/KelOutputStream.h"
#include "analytics/packages/NSSecurityStrategyPackage.h"
#include "analytics/packages/NSUploadStrategyPackage.h"

void NSMixPackage::initWithMXNuxModel(const std::map<int32_t, analyticsrov::KelBytes>& model)
{
    MixMap map;
    for (const auto& [key, bytes] : model) {
        analyticsrov::KelInputStream is(bytes);
        if (key == 8) {
            strategy::UploadStrategyPackage upload;
            upload.readFrom(is);
            auto mirror = std::make_shared<NSUploadStrategyPackage>();
            mirror->initWithUpNuxModel(upload);
            map[key] = mirror;
        } else if (key == 7) {
            strategy::SecurityStrategyPackage security;
            security.readFrom(is);
            auto mirror = std::make_shared<NSSecurityStrategyPackage>();
            mirror->initWithSecNuxModel(security);
            map[key] = mirror;
        } else if (auto object = AnaProtocolDataRegister::sharedInstance().makeResponseObject(key)) {
            object->initLocalObjWithNuxBuffer(is);
            map[key] = object;
        }
    }
    mixMap = std::move(map);
}

void NSMixPackage::createNuxModle(std::map<int32_t, analyticsrov::KelBytes>& model) const
{
    if (!mixMap)
        return;
    for (const auto& [key, object] : *mixMap) {
        auto writable = std::dynamic_pointer_cast<AnaNSObjTransToKelBufferProtocol>(object);
        if (!writable)
            continue;
        analyticsrov::KelOutputStream os;
        writable->setDataToBuffer(os);
        model[key] = os.takeBytes();
    }
}

void NSMixPackage::setDataToBuffer(analyticsrov::KelOutputStream& os) const
{
    std::map<int32_t, analyticsrov::KelBytes> model;
    createNuxModle(model);
    os.write(model, 0);
}

void NSMixPackage::addUploadElements(const AnaRecordList& records)
{
    auto& registry = AnaProtocolDataRegister::sharedInstance();
    const auto keys = registry.getRequestObjectTypeKeys();
    if (records.empty() || keys.empty())
        return;
    if (!mixMap)
        mixMap.emplace();
    for (int key : keys) {
        auto package = registry.makeRequestObject(key);
        if (package && package->addPkgElements(records))
            (*mixMap)[key] = package;
    }
}

std::optional<AnaRecordList> NSMixPackage::getUploadElements() const
{
    if (!mixMap || mixMap->empty())
        return std::nullopt;
    AnaRecordList all;
    for (const auto& [key, object] : *mixMap) {
        if (auto package = std::dynamic_pointer_cast<AnaNSObjTransToKelBufferProtocol>(object)) {
            const AnaRecordList items = package->getPkgElements();
            all.insert(all.end(), items.begin(), items.end());
        }
    }
    return all;
}
