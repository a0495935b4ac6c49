#pragma once

#include "analytics/kel/BufferReader.h"
#include "analytics/kel/KelDecodeException.h"
#include "analytics/kel/KelStructBase.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace analyticsrov {

// Kel reader over bytes it does not own. Every length and count is checked
// against the bytes left before anything is allocated, and maps, lists and
// structs nest at most kKelMaxDepth deep; malformed input always ends in
// KelDecodeException.
class KelInputStream {
public:
    struct Head {
        uint8_t type = 0;
        uint32_t tag = 0;
        size_t length = 0;
    };

    KelInputStream() = default;
    KelInputStream(const uint8_t* data, size_t length) { reset(data, length); }
    explicit KelInputStream(const KelBytes& bytes) { reset(bytes.data(), bytes.size()); }

    void reset(const uint8_t* data, size_t length);

    Head readHead();
    Head peekHead() const;
    // Moves to the field with the tag, skipping whole fields before it. False
    // (the head not consumed) when a higher tag, a struct end or the end of
    // the data comes first. A skipped field that is invalid (its type, its
    // nesting, a negative count) throws; only data that ends early is absence.
    bool skipToTag(uint32_t tag);
    void skipToStructEnd();
    void skipField(uint8_t type);
    void skipField();

    void read(bool& value, uint32_t tag, bool isRequire = true);
    void read(int8_t& value, uint32_t tag, bool isRequire = true);
    void read(int16_t& value, uint32_t tag, bool isRequire = true);
    void read(int32_t& value, uint32_t tag, bool isRequire = true);
    void read(int64_t& value, uint32_t tag, bool isRequire = true);
    void read(float& value, uint32_t tag, bool isRequire = true);
    void read(double& value, uint32_t tag, bool isRequire = true);
    void read(std::string& value, uint32_t tag, bool isRequire = true);
    void read(KelBytes& value, uint32_t tag, bool isRequire = true);
    void read(KelStructBase& value, uint32_t tag, bool isRequire = true);

    template <typename T>
    void read(std::vector<T>& values, uint32_t tag, bool isRequire = true)
    {
        if (!seek(tag, isRequire))
            return;
        const Head head = readHead();
        if (head.type != KelList)
            throw KelDecodeException(kelFormat("read 'vector' type mismatch, tag: %d, get type: %d.",
                                               int(tag), int(head.type)));
        int32_t count = 0;
        read(count, 0);
        if (count < 0 || size_t(count) > m_reader.remaining())
            throw KelDecodeException(kelFormat("invalid size, tag: %d, type: %d, size: %d", int(tag),
                                               int(head.type), int(count)));
        DepthGuard guard(*this, tag);
        values.clear();
        values.reserve(std::min<size_t>(size_t(count), 1024));
        for (int32_t i = 0; i < count; ++i) {
            T value{};
            read(value, 0);
            values.push_back(std::move(value));
        }
    }

    template <typename K, typename V>
    void read(std::map<K, V>& values, uint32_t tag, bool isRequire = true)
    {
        if (!seek(tag, isRequire))
            return;
        const Head head = readHead();
        if (head.type != KelMap)
            throw KelDecodeException(kelFormat("read 'map' type mismatch, tag: %d, get type: %d.",
                                               int(tag), int(head.type)));
        int32_t count = 0;
        read(count, 0);
        // Every entry takes at least two heads.
        if (count < 0 || size_t(count) > m_reader.remaining() / 2)
            throw KelDecodeException(kelFormat("invalid map, tag: %d, size: %d", int(tag), int(count)));
        DepthGuard guard(*this, tag);
        values.clear();
        for (int32_t i = 0; i < count; ++i) {
            K key{};
            V value{};
            read(key, 0);
            read(value, 1);
            values.insert_or_assign(std::move(key), std::move(value));
        }
    }

    size_t position() const { return m_reader.position(); }
    size_t remaining() const { return m_reader.remaining(); }

private:
    class DepthGuard {
    public:
        DepthGuard(KelInputStream& stream, uint32_t tag);
        ~DepthGuard() { --m_stream.m_depth; }

    private:
        KelInputStream& m_stream;
    };

    // skipToTag, and the "require field" error when a required field is absent.
    bool seek(uint32_t tag, bool isRequire);
    [[noreturn]] static void throwMismatch(const char* what, uint32_t tag, uint8_t type);
    uint64_t readBigEndian(int width);
    // An integer field of type 12 (zero) or 0 up to `widest`, sign-extended.
    int64_t readIntegerField(uint32_t tag, uint8_t widest, const char* name);
    void checkCount(int32_t count, size_t unit, const char* format);

    BufferReader m_reader;
    int m_depth = 0;
};

}
