#pragma once

#include "analytics/kel/KelTypes.h"

#include <cstddef>

namespace analyticsrov {

// Cursor over bytes that it does not own. Every read is checked against the
// end and throws KelDecodeException instead of reading past it.
class BufferReader {
public:
    BufferReader() = default;
    BufferReader(const uint8_t* data, size_t length) { reset(data, length); }

    void reset(const uint8_t* data, size_t length);
    void readBuf(void* out, size_t length);
    // Copies bytes at the cursor (plus offset) without moving it.
    void peekBuf(void* out, size_t length, size_t offset = 0) const;
    void skip(size_t length);

    size_t position() const { return m_cursor; }
    size_t size() const { return m_length; }
    size_t remaining() const { return m_length - m_cursor; }
    bool atEnd() const { return m_cursor >= m_length; }
    const uint8_t* current() const { return m_data + m_cursor; }

private:
    const uint8_t* m_data = nullptr;
    size_t m_length = 0;
    size_t m_cursor = 0;
};

}
