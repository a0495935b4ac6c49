#pragma once

#include "analytics/kel/KelStructBase.h"
#include "crashhandler/Attachment.h"
#include "crashhandler/ContactInfo.h"
#include "crashhandler/MobileDetail.h"
#include "crashhandler/RunInfo.h"

#include <vector>
#include <string>

namespace exceptionupload {

// The wire form of one crash record, and of each crash in an upload.
struct ExceptionUpload : analyticsrov::KelStructBase {
    std::string exceptionType;
    std::string excepitonAddress;
    std::string hash;
    int64_t cashTime = 0;
    std::vector<Attachment> attachmentList;
    std::string threadName;
    std::string callStack;
    std::string causedBy;
    MobileDetail mobileInfo;
    RunInfo runInfo;
    ContactInfo contactInfo;

    void writeTo(analyticsrov::KelOutputStream& os) const override;
    void readFrom(analyticsrov::KelInputStream& is) override;
    bool operator==(const ExceptionUpload&) const = default;
};

}
