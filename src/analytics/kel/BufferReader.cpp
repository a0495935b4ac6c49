#include "analytics/kel/BufferReader.h"

#include "analytics/kel/KelBufferOverflowException.h"

namespace analyticsrov {

void BufferReader::throwOverflow(const char* what, size_t length) const
{
    throw KelBufferOverflowException(
        kelFormat("buffer overflow when %s, over %u.", what, unsigned(m_cursor + length)));
}

}
