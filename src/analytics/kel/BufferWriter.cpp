#include "analytics/kel/BufferWriter.h"

namespace analyticsrov {

void BufferWriter::reserve(size_t needed)
{
    if (needed > m_buffer.capacity())
        m_buffer.reserve(needed * 2);
}

void BufferWriter::writeBuf(const void* data, size_t length)
{
    if (length == 0)
        return;
    reserve(m_buffer.size() + length);
    const auto* bytes = static_cast<const uint8_t*>(data);
    m_buffer.insert(m_buffer.end(), bytes, bytes + length);
}

}
