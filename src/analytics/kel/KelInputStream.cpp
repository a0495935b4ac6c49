#include "analytics/kel/KelInputStream.h"

#include "analytics/kel/KelBufferOverflowException.h"

#include <bit>
#include <cstring>

namespace analyticsrov {

KelInputStream::DepthGuard::DepthGuard(KelInputStream& stream, uint32_t tag) : m_stream(stream)
{
    if (++m_stream.m_depth > kKelMaxDepth) {
        --m_stream.m_depth;
        throw KelDecodeException(kelFormat("invalid nesting depth, tag: %d, depth: %d", int(tag),
                                           m_stream.m_depth + 1));
    }
}

void KelInputStream::reset(const uint8_t* data, size_t length)
{
    m_reader.reset(data, length);
    m_depth = 0;
    m_elementsLeft = kKelMaxElements;
}

void KelInputStream::throwTooMany(int32_t count, uint32_t tag) const
{
    throw KelDecodeException(kelFormat("too many elements, tag: %d, size: %d, left: %d", int(tag), int(count),
                                       int(m_elementsLeft)));
}

void KelInputStream::checkCount(int32_t count, size_t unit, const char* format)
{
    if (count < 0)
        throw KelDecodeException(kelFormat(format, 0, int(count)));
    if (size_t(count) > m_reader.remaining() / unit)
        throw KelBufferOverflowException(kelFormat(format, 0, int(count)));
}

bool KelInputStream::skipToTag(uint32_t tag)
{
    try {
        while (!m_reader.atEnd()) {
            const Head head = peekHead();
            if (head.type == KelStructEnd || head.tag >= tag)
                return head.type != KelStructEnd && head.tag == tag;
            m_reader.skip(head.length);
            skipField(head.type);
        }
    } catch (const KelBufferOverflowException&) {
        // Running out of data while seeking counts as absent; a field of an
        // invalid type or nested too deep is an error of the data.
    }
    return false;
}

void KelInputStream::skipToStructEnd()
{
    for (;;) {
        const Head head = readHead();
        skipField(head.type);
        if (head.type == KelStructEnd)
            return;
    }
}

void KelInputStream::skipField()
{
    skipField(readHead().type);
}

void KelInputStream::skipField(uint8_t type)
{
    switch (type) {
    case KelChar: m_reader.skip(1); break;
    case KelShort: m_reader.skip(2); break;
    case KelInt32:
    case KelFloat: m_reader.skip(4); break;
    case KelInt64:
    case KelDouble: m_reader.skip(8); break;
    case KelString1: m_reader.skip(size_t(readBigEndian<1>())); break;
    case KelString4: m_reader.skip(size_t(readBigEndian<4>())); break;
    case KelMap: {
        DepthGuard guard(*this, 0);
        int32_t count = 0;
        read(count, 0);
        checkCount(count, 2, "invalid map, tag: %d, size: %d");
        for (int64_t i = 0; i < int64_t(count) * 2; ++i)
            skipField();
        break;
    }
    case KelList: {
        DepthGuard guard(*this, 0);
        int32_t count = 0;
        read(count, 0);
        checkCount(count, 1, "invalid size, tag: %d, size: %d");
        for (int32_t i = 0; i < count; ++i)
            skipField();
        break;
    }
    case KelStructBegin: {
        DepthGuard guard(*this, 0);
        skipToStructEnd();
        break;
    }
    case KelStructEnd:
    case KelZeroTag: break;
    case KelSimpleList: {
        const Head element = readHead();
        if (element.type != KelChar)
            throw KelDecodeException(kelFormat("skipField with invalid type, type value: %d, %d.",
                                               int(type), int(element.type)));
        int32_t count = 0;
        read(count, 0);
        checkCount(count, 1, "invalid size, tag: %d, size: %d");
        m_reader.skip(size_t(count));
        break;
    }
    default:
        throw KelDecodeException(kelFormat("skipField with invalid type, type value:%d.", int(type)));
    }
}

bool KelInputStream::seekSlowly(uint32_t tag, bool isRequire, Head& head)
{
    if (skipToTag(tag)) {
        head = readHead();
        return true;
    }
    if (isRequire)
        throw KelDecodeException(kelFormat("require field not exist, tag: %d", int(tag)));
    return false;
}

void KelInputStream::throwMismatch(const char* what, uint32_t tag, uint8_t type)
{
    throw KelDecodeException(std::string("read '") + what +
                             kelFormat("' type mismatch, tag: %d, get type: %d.", int(tag), int(type)));
}

void KelInputStream::read(bool& value, uint32_t tag, bool isRequire)
{
    int8_t c = value ? 1 : 0;
    read(c, tag, isRequire);
    value = c != 0;
}

void KelInputStream::read(int8_t& value, uint32_t tag, bool isRequire)
{
    Head head;
    if (!seek(tag, false, head)) {
        if (isRequire)
            throw KelDecodeException(kelFormat("require field not exist, tag: %d.", int(tag)));
        return;
    }
    value = int8_t(readIntegerField(head, tag, KelChar, "Char"));
}

void KelInputStream::read(int16_t& value, uint32_t tag, bool isRequire)
{
    Head head;
    if (seek(tag, isRequire, head))
        value = int16_t(readIntegerField(head, tag, KelShort, "Short"));
}

void KelInputStream::read(int32_t& value, uint32_t tag, bool isRequire)
{
    Head head;
    if (seek(tag, isRequire, head))
        value = int32_t(readIntegerField(head, tag, KelInt32, "Int32"));
}

void KelInputStream::read(int64_t& value, uint32_t tag, bool isRequire)
{
    Head head;
    if (seek(tag, isRequire, head))
        value = readIntegerField(head, tag, KelInt64, "Int64");
}

void KelInputStream::read(float& value, uint32_t tag, bool isRequire)
{
    Head head;
    if (!seek(tag, isRequire, head))
        return;
    switch (head.type) {
    case KelZeroTag: value = 0; break;
    case KelFloat: value = std::bit_cast<float>(uint32_t(readBigEndian<4>())); break;
    default: throwMismatch("Float", tag, head.type);
    }
}

void KelInputStream::read(double& value, uint32_t tag, bool isRequire)
{
    Head head;
    if (!seek(tag, isRequire, head))
        return;
    switch (head.type) {
    case KelZeroTag: value = 0; break;
    case KelFloat: value = std::bit_cast<float>(uint32_t(readBigEndian<4>())); break;
    case KelDouble: value = std::bit_cast<double>(readBigEndian<8>()); break;
    default: throwMismatch("Double", tag, head.type);
    }
}

void KelInputStream::read(std::string& value, uint32_t tag, bool isRequire)
{
    Head head;
    if (!seek(tag, isRequire, head))
        return;
    int64_t length = 0;
    if (head.type == KelString1)
        length = int64_t(readBigEndian<1>());
    else if (head.type == KelString4)
        length = int32_t(readBigEndian<4>());
    else
        throwMismatch("string", tag, head.type);
    if (length < 0 || length > int64_t(kKelMaxStringLength) || uint64_t(length) > m_reader.remaining())
        throw KelDecodeException(kelFormat("invalid string size, tag: %d, size: %d", int(tag), int(length)));
    value.assign(reinterpret_cast<const char*>(m_reader.take(size_t(length))), size_t(length));
}

void KelInputStream::read(KelBytes& value, uint32_t tag, bool isRequire)
{
    Head head;
    if (!seek(tag, isRequire, head))
        return;
    if (head.type == KelSimpleList) {
        const Head element = readHead();
        if (element.type != KelChar)
            throw KelDecodeException(kelFormat("type mismatch, tag: %d, type: %d, %d", int(tag),
                                               int(head.type), int(element.type)));
        int32_t count = 0;
        read(count, 0);
        if (count < 0 || size_t(count) > m_reader.remaining())
            throw KelDecodeException(kelFormat("invalid size, tag: %d, type: %d, %d, size: %d", int(tag),
                                               int(head.type), int(element.type), int(count)));
        const uint8_t* at = m_reader.take(size_t(count));
        value.assign(at, at + count);
    } else if (head.type == KelList) {
        int32_t count = 0;
        read(count, 0);
        if (count < 0 || size_t(count) > m_reader.remaining())
            throw KelDecodeException(kelFormat("invalid size, tag: %d, type: %d, size: %d", int(tag),
                                               int(head.type), int(count)));
        value.clear();
        value.reserve(size_t(count));
        for (int32_t i = 0; i < count; ++i) {
            int8_t c = 0;
            read(c, 0);
            value.push_back(uint8_t(c));
        }
    } else {
        throw KelDecodeException(kelFormat("type mismatch, tag: %d, type: %d", int(tag), int(head.type)));
    }
}

void KelInputStream::read(KelStructBase& value, uint32_t tag, bool isRequire)
{
    Head head;
    if (!seek(tag, isRequire, head))
        return;
    if (head.type != KelStructBegin)
        throwMismatch("struct", tag, head.type);
    DepthGuard guard(*this, tag);
    value.readFrom(*this);
    skipToStructEnd();
}

}
