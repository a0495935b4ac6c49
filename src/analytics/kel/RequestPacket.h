#pragma once

#include "analytics/kel/KelStructBase.h"
#include "analytics/kel/KelTypes.h"

#include <map>
#include <string>

namespace analyticsrov {

// The Nux envelope's header fields.
class RequestPacket : public KelStructBase {
public:
    int16_t iVersion = 0;
    int8_t cPacketType = 0;
    int32_t iMessageType = 0;
    int32_t iRequestId = 0;
    std::string sServantName;
    std::string sFuncName;
    KelBytes sBuffer;
    int32_t iTimeout = 0;
    std::map<std::string, std::string> context;
    std::map<std::string, std::string> status;

    void writeTo(KelOutputStream& os) const override;
    void readFrom(KelInputStream& is) override;
};

}
