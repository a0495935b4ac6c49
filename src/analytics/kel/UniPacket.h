#pragma once

#include "analytics/kel/RequestPacket.h"
#include "analytics/kel/UniAttribute.h"

namespace analyticsnux {

// A Nux packet: the header plus its attributes. Its bytes are a 4-byte
// big-endian total length (those 4 bytes included), then the header fields.
class UniPacket : public UniAttribute {
public:
    UniPacket();

    analyticsrov::RequestPacket& packet() { return m_packet; }
    const analyticsrov::RequestPacket& packet() const { return m_packet; }

    void setServantName(const std::string& name) { m_packet.sServantName = name; }
    void setFuncName(const std::string& name) { m_packet.sFuncName = name; }
    void setRequestId(int32_t id) { m_packet.iRequestId = id; }

    // Throws std::runtime_error for an empty servant or function name.
    KelBytes encode();
    // Throws std::runtime_error for fewer than 4 bytes, KelDecodeException
    // when the length prefix disagrees with the data or the packet does
    // not decode.
    void decode(const uint8_t* data, size_t length);
    void decode(const KelBytes& bytes) { decode(bytes.data(), bytes.size()); }

private:
    analyticsrov::RequestPacket m_packet;
};

}
