#pragma once

#include "analytics/kel/KelStructBase.h"

#include <cstdint>
#include <map>
#include <string>

namespace strategy {

// The upload strategy a server answer may carry (command 8, or key 8).
class UploadStrategyPackage : public analyticsrov::KelStructBase {
public:
    int32_t testCount = 0;
    int32_t maxPackageSize = 0;
    int32_t uploadStrategy = 0;
    std::string uploadServer;
    std::map<int32_t, bool> moduleStrategy;

    void writeTo(analyticsrov::KelOutputStream& os) const override;
    void readFrom(analyticsrov::KelInputStream& is) override;
};

}
