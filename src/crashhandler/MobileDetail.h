#pragma once

#include "analytics/kel/KelStructBase.h"

#include <string>

namespace exceptionupload {

// The device id and the loaded-image summary of a crash record.
struct MobileDetail : analyticsrov::KelStructBase {
    std::string symbol;
    std::string other;

    void writeTo(analyticsrov::KelOutputStream& os) const override;
    void readFrom(analyticsrov::KelInputStream& is) override;
    bool operator==(const MobileDetail&) const = default;
};

}
