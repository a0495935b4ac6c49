#pragma once

#include "analytics/kel/KelStructBase.h"

#include <cstdint>
#include <string>

namespace strategy {

// The security strategy a server answer may carry (command 7, or key 7).
class SecurityStrategyPackage : public analyticsrov::KelStructBase {
public:
    std::string encryKey;
    std::string encryPublicKey;
    int32_t encryAlgorithm = 0;
    int32_t zipAlgorithm = 0;

    void writeTo(analyticsrov::KelOutputStream& os) const override;
    void readFrom(analyticsrov::KelInputStream& is) override;
};

}
