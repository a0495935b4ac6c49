#pragma once

#include "analytics/kel/BufferWriter.h"
#include "analytics/kel/KelStructBase.h"

#include <map>
#include <string>
#include <vector>

namespace analyticsrov {

// Kel writer: big-endian, integers in their narrowest form, maps in
// ascending key order.
class KelOutputStream {
public:
    void writeHead(uint8_t type, uint32_t tag);

    void write(bool value, uint32_t tag);
    void write(int8_t value, uint32_t tag);
    void write(int16_t value, uint32_t tag);
    void write(int32_t value, uint32_t tag);
    void write(int64_t value, uint32_t tag);
    void write(float value, uint32_t tag);
    void write(double value, uint32_t tag);
    void write(const std::string& value, uint32_t tag);
    void write(const KelBytes& value, uint32_t tag);
    void write(const KelStructBase& value, uint32_t tag);

    template <typename T>
    void write(const std::vector<T>& values, uint32_t tag)
    {
        writeHead(KelList, tag);
        write(int32_t(values.size()), 0);
        for (const T& value : values)
            write(value, 0);
    }

    template <typename K, typename V>
    void write(const std::map<K, V>& values, uint32_t tag)
    {
        writeHead(KelMap, tag);
        write(int32_t(values.size()), 0);
        for (const auto& [key, value] : values) {
            write(key, 0);
            write(value, 1);
        }
    }

    BufferWriter& buffer() { return m_buffer; }
    const KelBytes& bytes() const { return m_buffer.bytes(); }
    KelBytes takeBytes() { return m_buffer.takeBytes(); }

private:
    void writeBigEndian(uint64_t value, int width);

    BufferWriter m_buffer;
};

}
