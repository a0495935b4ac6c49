#pragma once

#include "analytics/kel/KelTypes.h"
#include "analytics/packages/AnaPackageObject.h"

#include <map>
#include <memory>
#include <optional>

// A body that mixes several record types: record type → that type's
// package. Its Kel form is a map<int, bytes> at tag 0. In replies keys 7 and
// 8 hold the security and upload strategies.
class NSMixPackage : public AnaNSObjTransToKelBufferProtocol {
public:
    using MixMap = std::map<int, std::shared_ptr<AnaPackageObject>>;

    // nullopt: no map at all (nothing added yet).
    std::optional<MixMap> mixMap;

    void initWithMXNuxModel(const std::map<int32_t, analyticsrov::KelBytes>& model);
    void createNuxModle(std::map<int32_t, analyticsrov::KelBytes>& model) const;
    void setDataToBuffer(analyticsrov::KelOutputStream& os) const override;

    // Each registered request type's package receives the records.
    void addUploadElements(const AnaRecordList& records);
    // nullopt when there is no map or it is empty.
    std::optional<AnaRecordList> getUploadElements() const;
};
