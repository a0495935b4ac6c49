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
// against the bytes left before anything is allocated, maps, lists and
// structs nest at most kKelMaxDepth deep, and one stream builds at most
// kKelMaxElements list items and map entries (fewer after limitElements);
// malformed input always ends in KelDecodeException. Field heads are read in
// place, once: a field found at the cursor is taken without a second look.
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

    // Also restores the whole element allowance.
    void reset(const uint8_t* data, size_t length);
    // Lowers the list items and map entries this stream may still build.
    void limitElements(size_t count) { m_elementsLeft = std::min(m_elementsLeft, count); }
    size_t elementsLeft() const { return m_elementsLeft; }

    Head peekHead() const
    {
        const size_t left = m_reader.remaining();
        if (left == 0)
            m_reader.throwOverflow("peekBuf", 1);
        const uint8_t* at = m_reader.current();
        Head head{uint8_t(at[0] & 0x0F), uint32_t(at[0] >> 4), 1};
        if (head.tag == 15) {
            if (left < 2)
                m_reader.throwOverflow("peekBuf", 2);
            head.tag = at[1];
            head.length = 2;
        }
        return head;
    }
    Head readHead()
    {
        const Head head = peekHead();
        m_reader.skip(head.length);
        return head;
    }
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
        Head head;
        if (!seek(tag, isRequire, head))
            return;
        if (head.type != KelList)
            throw KelDecodeException(kelFormat("read 'vector' type mismatch, tag: %d, get type: %d.",
                                               int(tag), int(head.type)));
        int32_t count = 0;
        read(count, 0);
        if (count < 0 || size_t(count) > m_reader.remaining())
            throw KelDecodeException(kelFormat("invalid size, tag: %d, type: %d, size: %d", int(tag),
                                               int(head.type), int(count)));
        takeElements(count, tag);
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
        Head head;
        if (!seek(tag, isRequire, head))
            return;
        if (head.type != KelMap)
            throw KelDecodeException(kelFormat("read 'map' type mismatch, tag: %d, get type: %d.",
                                               int(tag), int(head.type)));
        int32_t count = 0;
        read(count, 0);
        // Every entry takes at least two heads.
        if (count < 0 || size_t(count) > m_reader.remaining() / 2)
            throw KelDecodeException(kelFormat("invalid map, tag: %d, size: %d", int(tag), int(count)));
        takeElements(count, tag);
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

    // Takes the head of the field with the tag. Fields come in tag order, so
    // the head at the cursor is usually the one; anything else goes through
    // skipToTag. Absent: the "require field" error when required, else false.
    bool seek(uint32_t tag, bool isRequire, Head& head)
    {
        if (m_reader.remaining() >= 2) {
            const uint8_t* at = m_reader.current();
            const uint8_t type = at[0] & 0x0F;
            const bool wide = (at[0] >> 4) == 15;
            if ((wide ? at[1] : uint32_t(at[0] >> 4)) == tag && type != KelStructEnd) {
                head = {type, tag, wide ? 2u : 1u};
                m_reader.skip(head.length);
                return true;
            }
        }
        return seekSlowly(tag, isRequire, head);
    }
    bool seekSlowly(uint32_t tag, bool isRequire, Head& head);
    [[noreturn]] static void throwMismatch(const char* what, uint32_t tag, uint8_t type);

    template <int Width>
    uint64_t readBigEndian()
    {
        const uint8_t* at = m_reader.take(Width);
        uint64_t value = 0;
        for (int i = 0; i < Width; ++i)
            value = (value << 8) | at[i];
        return value;
    }
    // An integer field of type 12 (zero) or 0 up to `widest`, sign-extended.
    int64_t readIntegerField(const Head& head, uint32_t tag, uint8_t widest, const char* name)
    {
        switch (head.type) {
        case KelZeroTag: return 0;
        case KelChar: return int8_t(readBigEndian<1>());
        case KelShort:
            if (widest >= KelShort)
                return int16_t(readBigEndian<2>());
            break;
        case KelInt32:
            if (widest >= KelInt32)
                return int32_t(readBigEndian<4>());
            break;
        case KelInt64:
            if (widest >= KelInt64)
                return int64_t(readBigEndian<8>());
            break;
        }
        throwMismatch(name, tag, head.type);
    }
    void takeElements(int32_t count, uint32_t tag)
    {
        if (size_t(count) > m_elementsLeft)
            throwTooMany(count, tag);
        m_elementsLeft -= size_t(count);
    }
    [[noreturn]] void throwTooMany(int32_t count, uint32_t tag) const;
    void checkCount(int32_t count, size_t unit, const char* format);

    BufferReader m_reader;
    int m_depth = 0;
    size_t m_elementsLeft = kKelMaxElements;
};

}
