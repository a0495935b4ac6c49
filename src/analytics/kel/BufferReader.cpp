#include "analytics/kel/BufferReader.h"

#include "analytics/kel/KelBufferOverflowException.h"

#include <cstring>

namespace analyticsrov {

void BufferReader::reset(const uint8_t* data, size_t length)
{
    m_data = data;
    m_length = data ? length : 0;
    m_cursor = 0;
}

void BufferReader::peekBuf(void* out, size_t length, size_t offset) const
{
    if (offset > remaining() || length > remaining() - offset)
        throw KelBufferOverflowException(kelFormat("buffer overflow when peekBuf, over %u.",
                                           unsigned(m_cursor + offset + length)));
    if (length)
        std::memcpy(out, m_data + m_cursor + offset, length);
}

void BufferReader::readBuf(void* out, size_t length)
{
    peekBuf(out, length);
    m_cursor += length;
}

void BufferReader::skip(size_t length)
{
    if (length > remaining())
        throw KelBufferOverflowException(kelFormat("buffer overflow when skip, over %u.",
                                           unsigned(m_cursor + length)));
    m_cursor += length;
}

}
