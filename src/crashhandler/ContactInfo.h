#pragma once

#include "analytics/kel/KelStructBase.h"

#include <string>

namespace exceptionupload {

// Who the crash happened to.
struct ContactInfo : analyticsrov::KelStructBase {
    std::string all;
    std::string tel;
    std::string qua;
    std::string email;
    std::string comment;
    std::string other;

    void writeTo(analyticsrov::KelOutputStream& os) const override;
    void readFrom(analyticsrov::KelInputStream& is) override;
    bool operator==(const ContactInfo&) const = default;
};

}
