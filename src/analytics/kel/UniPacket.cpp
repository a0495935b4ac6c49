#include "analytics/kel/UniPacket.h"

#include <stdexcept>

namespace analyticsnux {

using analyticsrov::KelDecodeException;
using analyticsrov::kelFormat;

UniPacket::UniPacket()
{
    m_packet.iVersion = 2;
}

KelBytes UniPacket::encode()
{
    if (m_packet.sServantName.empty())
        throw std::runtime_error("ServantName must not be empty");
    if (m_packet.sFuncName.empty())
        throw std::runtime_error("FuncName must not be empty");

    analyticsrov::KelOutputStream attributes;
    UniAttribute::encode(attributes);
    m_packet.sBuffer = attributes.takeBytes();

    analyticsrov::KelOutputStream body;
    m_packet.writeTo(body);
    const KelBytes& fields = body.bytes();
    const uint32_t total = uint32_t(fields.size() + 4);
    KelBytes out;
    out.reserve(total);
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(uint8_t(total >> shift));
    out.insert(out.end(), fields.begin(), fields.end());
    return out;
}

void UniPacket::decode(const uint8_t* data, size_t length)
{
    if (length < 4)
        throw std::runtime_error("packet length too short");
    const uint32_t prefix = uint32_t(data[0]) << 24 | uint32_t(data[1]) << 16 | uint32_t(data[2]) << 8 | data[3];
    if (prefix != length)
        throw KelDecodeException(kelFormat("packet length mismatch, head: %u, size: %u", prefix, unsigned(length)));

    analyticsrov::KelInputStream is(data + 4, length - 4);
    analyticsrov::RequestPacket packet;
    packet.readFrom(is);
    analyticsrov::KelInputStream attributes(packet.sBuffer);
    UniAttribute::decode(attributes);
    m_packet = std::move(packet);
}

}
