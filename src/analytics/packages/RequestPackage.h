#pragma once

#include "analytics/kel/KelStructBase.h"
#include "analytics/kel/KelTypes.h"

#include <string>

namespace common {

// The request struct of the analytics envelope (written in tag order).
class RequestPackage : public analyticsrov::KelStructBase {
public:
    int8_t platformId = 0;
    std::string productId;
    std::string productVersion;
    std::string sdkId;
    std::string sdkVersion;
    int32_t cmd = 0;
    analyticsrov::KelBytes sBuffer;
    std::string hardwareOs;
    std::string qua;
    int8_t encryType = 0;
    int8_t zipType = 0;
    std::string appVerBuild;
    std::string reserved;

    void writeTo(analyticsrov::KelOutputStream& os) const override;
    // The SDK never reads requests; the endpoint side (and the tests) does.
    void readFrom(analyticsrov::KelInputStream& is) override;
};

}
