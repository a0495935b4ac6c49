#pragma once

#include "analytics/kel/KelStructBase.h"
#include "analytics/kel/KelTypes.h"

#include <string>

namespace common {

// The reply struct of the analytics envelope.
class ResponsePackage : public analyticsrov::KelStructBase {
public:
    int8_t result = 0;
    int32_t cmd = 0;
    analyticsrov::KelBytes sBuffer;
    std::string gateWayIp;
    int8_t encryType = 0;
    int8_t zipType = 0;
    int64_t serverTime = 0;

    // Written by the endpoint side (and the tests).
    void writeTo(analyticsrov::KelOutputStream& os) const override;
    void readFrom(analyticsrov::KelInputStream& is) override;
};

}
