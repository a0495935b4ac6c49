#pragma once

#include "analytics/kel/KelStructBase.h"
#include <cstdint>
#include <string>

namespace exceptionupload {

// Device state at the time of a crash.
struct RunInfo : analyticsrov::KelStructBase {
    float battery = 0;
    float cpu = 0;
    int64_t freeMem = 0;
    int64_t freeStorage = 0;
    int64_t freeSDCard = 0;

    void writeTo(analyticsrov::KelOutputStream& os) const override;
    void readFrom(analyticsrov::KelInputStream& is) override;
    bool operator==(const RunInfo&) const = default;
};

}
