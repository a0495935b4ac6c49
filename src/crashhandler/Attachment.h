#pragma once

#include "analytics/kel/KelStructBase.h"
#include "analytics/kel/KelTypes.h"
#include <string>

namespace exceptionupload {

// One file carried with a crash record.
struct Attachment : analyticsrov::KelStructBase {
    int8_t type = 0;   // 11 for every attachment the system makes
    std::string fileName;
    analyticsrov::KelBytes data;

    void writeTo(analyticsrov::KelOutputStream& os) const override;
    void readFrom(analyticsrov::KelInputStream& is) override;
    bool operator==(const Attachment&) const = default;
};

}
