#include "analytics/kel/KelOutputStream.h"

#include "analytics/kel/KelDecodeException.h"

#include <bit>
#include <limits>

namespace analyticsrov {

void KelOutputStream::writeBigEndian(uint64_t value, int width)
{
    uint8_t bytes[8];
    for (int i = 0; i < width; ++i)
        bytes[i] = uint8_t(value >> (8 * (width - 1 - i)));
    m_buffer.writeBuf(bytes, size_t(width));
}

void KelOutputStream::writeHead(uint8_t type, uint32_t tag)
{
    if (tag > 255)
        throw KelDecodeException(kelFormat("invalid tag, tag: %u", tag));
    if (tag < 15) {
        const uint8_t head = uint8_t((tag << 4) | type);
        m_buffer.writeBuf(&head, 1);
    } else {
        const uint8_t head[2] = {uint8_t(0xF0 | type), uint8_t(tag)};
        m_buffer.writeBuf(head, 2);
    }
}

void KelOutputStream::write(bool value, uint32_t tag)
{
    write(int8_t(value ? 1 : 0), tag);
}

void KelOutputStream::write(int8_t value, uint32_t tag)
{
    if (value == 0) {
        writeHead(KelZeroTag, tag);
        return;
    }
    writeHead(KelChar, tag);
    writeBigEndian(uint8_t(value), 1);
}

void KelOutputStream::write(int16_t value, uint32_t tag)
{
    if (value >= -128 && value <= 127) {
        write(int8_t(value), tag);
        return;
    }
    writeHead(KelShort, tag);
    writeBigEndian(uint16_t(value), 2);
}

void KelOutputStream::write(int32_t value, uint32_t tag)
{
    if (value >= -32768 && value <= 32767) {
        write(int16_t(value), tag);
        return;
    }
    writeHead(KelInt32, tag);
    writeBigEndian(uint32_t(value), 4);
}

void KelOutputStream::write(int64_t value, uint32_t tag)
{
    if (value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max()) {
        write(int32_t(value), tag);
        return;
    }
    writeHead(KelInt64, tag);
    writeBigEndian(uint64_t(value), 8);
}

void KelOutputStream::write(float value, uint32_t tag)
{
    writeHead(KelFloat, tag);
    writeBigEndian(std::bit_cast<uint32_t>(value), 4);
}

void KelOutputStream::write(double value, uint32_t tag)
{
    writeHead(KelDouble, tag);
    writeBigEndian(std::bit_cast<uint64_t>(value), 8);
}

void KelOutputStream::write(const std::string& value, uint32_t tag)
{
    if (value.size() < 256) {
        writeHead(KelString1, tag);
        writeBigEndian(value.size(), 1);
    } else if (value.size() <= kKelMaxStringLength) {
        writeHead(KelString4, tag);
        writeBigEndian(value.size(), 4);
    } else {
        throw KelDecodeException(kelFormat("invalid string size, tag: %d, size: %u", int(tag),
                                           unsigned(value.size())));
    }
    m_buffer.writeBuf(value.data(), value.size());
}

void KelOutputStream::write(const KelBytes& value, uint32_t tag)
{
    writeHead(KelSimpleList, tag);
    writeHead(KelChar, 0);
    write(int32_t(value.size()), 0);
    m_buffer.writeBuf(value.data(), value.size());
}

void KelOutputStream::write(const KelStructBase& value, uint32_t tag)
{
    writeHead(KelStructBegin, tag);
    value.writeTo(*this);
    writeHead(KelStructEnd, 0);
}

}
