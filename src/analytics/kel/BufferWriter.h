#pragma once

#include "analytics/kel/KelTypes.h"

#include <cstddef>

namespace analyticsrov {

// Growing output buffer of the Kel writer.
class BufferWriter {
public:
    void reset() { m_buffer.clear(); }
    void writeBuf(const void* data, size_t length);
    // When the needed size exceeds the capacity, the buffer grows to twice
    // the needed size.
    void reserve(size_t needed);

    const uint8_t* getBuffer() const { return m_buffer.data(); }
    size_t getLength() const { return m_buffer.size(); }
    size_t capacity() const { return m_buffer.capacity(); }
    const KelBytes& bytes() const { return m_buffer; }
    KelBytes takeBytes() { return std::move(m_buffer); }

private:
    KelBytes m_buffer;
};

}
