#pragma once

#include "analytics/kel/KelTypes.h"

#include <cstddef>

namespace analyticsrov {

// Cursor over bytes that it does not own. Every read is checked against the
// end and throws KelBufferOverflowException instead of reading past it. The
// hot calls are inline; only the failure is out of line.
class BufferReader {
public:
    BufferReader() = default;
    BufferReader(const uint8_t* data, size_t length) { reset(data, length); }

    void reset(const uint8_t* data, size_t length)
    {
        m_data = data;
        m_length = data ? length : 0;
        m_cursor = 0;
    }

    // The next `length` bytes, in place; the cursor moves past them.
    const uint8_t* take(size_t length)
    {
        if (length > remaining())
            throwOverflow("peekBuf", length);
        const uint8_t* at = m_data + m_cursor;
        m_cursor += length;
        return at;
    }
    void skip(size_t length)
    {
        if (length > remaining())
            throwOverflow("skip", length);
        m_cursor += length;
    }

    size_t position() const { return m_cursor; }
    size_t size() const { return m_length; }
    size_t remaining() const { return m_length - m_cursor; }
    bool atEnd() const { return m_cursor >= m_length; }
    const uint8_t* current() const { return m_data + m_cursor; }

    // Throws the overflow of a read of `length` bytes at the cursor.
    [[noreturn]] void throwOverflow(const char* what, size_t length) const;

private:
    const uint8_t* m_data = nullptr;
    size_t m_length = 0;
    size_t m_cursor = 0;
};

}
