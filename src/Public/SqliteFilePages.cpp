#include "Public/SqliteFilePages.h"

#include "platform/core/RegularFile.h"

#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr quint8 kInteriorTable = 0x05;
constexpr quint8 kLeafTable = 0x0D;
constexpr quint8 kInteriorIndex = 0x02;
constexpr quint8 kLeafIndex = 0x0A;
// No row of the program's stores comes near this; a larger payload is damage.
constexpr qint64 kMaxPayload = 16 * 1024 * 1024;
// Far past any index the program keeps: pages beyond are not read.
constexpr qint64 kMaxFileBytes = 4LL * 1024 * 1024 * 1024;

quint32 u16At(const QByteArray& bytes, int at)
{
    return (quint32(quint8(bytes[at])) << 8) | quint8(bytes[at + 1]);
}

quint32 u32At(const QByteArray& bytes, int at)
{
    return (u16At(bytes, at) << 16) | u16At(bytes, at + 2);
}

// A varint of the file format (1 to 9 bytes, big-endian, 7 bits a byte but
// the ninth); false when it runs past end.
bool varintAt(const QByteArray& bytes, int* at, int end, quint64* value)
{
    quint64 v = 0;
    for (int i = 0; i < 9; ++i) {
        if (*at >= end)
            return false;
        const quint8 byte = quint8(bytes[(*at)++]);
        if (i == 8) {
            *value = (v << 8) | byte;
            return true;
        }
        v = (v << 7) | (byte & 0x7f);
        if (!(byte & 0x80)) {
            *value = v;
            return true;
        }
    }
    return false;
}

// The bytes a value of this serial type takes in a record; -1 for the
// two types the format keeps reserved.
qint64 contentSize(quint64 serialType)
{
    static constexpr int kFixed[10] = {0, 1, 2, 3, 4, 6, 8, 8, 0, 0};
    if (serialType < 10)
        return kFixed[serialType];
    if (serialType < 12)
        return -1;
    return qint64((serialType - 12) / 2);
}

qint64 signedBigEndian(const char* bytes, int size)
{
    qint64 v = (bytes[0] & 0x80) ? -1 : 0;
    for (int i = 0; i < size; ++i)
        v = qint64((quint64(v) << 8) | quint8(bytes[i]));
    return v;
}

}

SqliteFilePages::SqliteFilePages(const QString& path, int assumedPageSize)
{
    const int fd = RegularFile::open(path);
    if (fd < 0)
        return;
    struct stat info{};
    QByteArray header(100, '\0');
    if (::fstat(fd, &info) != 0 || ::pread(fd, header.data(), 100, 0) != 100) {
        ::close(fd);
        return;
    }
    quint32 size = 0;
    int reserved = 0;
    if (std::memcmp(header.constData(), "SQLite format 3\0", 16) == 0) {
        size = u16At(header, 16) == 1 ? 65536 : u16At(header, 16);
        reserved = quint8(header[20]);
        m_encoding = int(u32At(header, 56));
        m_freeTrunk = u32At(header, 32);
    } else if (assumedPageSize > 0 && info.st_size % assumedPageSize == 0) {
        // A lost first page: the pages are read at the size the file was
        // made with, as UTF-8 with no reserved bytes and no known free list.
        size = quint32(assumedPageSize);
    }
    // A power of two from 512 on, with at least 480 usable bytes.
    if (size < 512 || size > 65536 || (size & (size - 1)) || int(size) - reserved < 480) {
        ::close(fd);
        return;
    }
    m_fd = fd;
    m_pageSize = int(size);
    m_usable = m_pageSize - reserved;
    m_pageCount = quint32(std::min<qint64>(info.st_size, kMaxFileBytes) / m_pageSize);
}

SqliteFilePages::~SqliteFilePages()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QByteArray SqliteFilePages::page(quint32 number) const
{
    if (m_fd < 0 || number < 1 || number > m_pageCount)
        return {};
    QByteArray bytes(m_pageSize, '\0');
    if (::pread(m_fd, bytes.data(), m_pageSize, off_t(number - 1) * m_pageSize) != m_pageSize)
        return {};
    return bytes;
}

QSet<quint32> SqliteFilePages::leavesUnder(quint32 root, bool* whole) const
{
    QSet<quint32> leaves;
    QSet<quint32> seen;
    QList<quint32> pending{root};
    bool sound = true;
    while (!pending.isEmpty()) {
        const quint32 number = pending.takeLast();
        if (seen.contains(number)) {
            sound = false;
            continue;
        }
        seen.insert(number);
        const QByteArray bytes = page(number);
        const int h = headerOffset(number);
        const quint8 type = bytes.isEmpty() ? 0 : quint8(bytes[h]);
        if (type == kLeafTable) {
            leaves.insert(number);
            continue;
        }
        const int cells = type == kInteriorTable ? int(u16At(bytes, h + 3)) : 0;
        if (type != kInteriorTable || h + 12 + 2 * cells > m_usable) {
            sound = false;
            continue;
        }
        pending.append(u32At(bytes, h + 8));
        for (int i = 0; i < cells; ++i) {
            const int at = int(u16At(bytes, h + 12 + 2 * i));
            if (at >= h + 12 + 2 * cells && at + 4 <= m_usable)
                pending.append(u32At(bytes, at));
            else
                sound = false;
        }
    }
    if (whole)
        *whole = sound;
    return leaves;
}

QSet<quint32> SqliteFilePages::freePages() const
{
    QSet<quint32> free;
    quint32 trunk = m_freeTrunk;
    while (trunk >= 1 && trunk <= m_pageCount && !free.contains(trunk)) {
        free.insert(trunk);
        const QByteArray bytes = page(trunk);
        if (bytes.isEmpty())
            break;
        const quint32 count = u32At(bytes, 4);
        if (count > quint32(m_usable / 4 - 2))
            break;
        for (quint32 i = 0; i < count; ++i) {
            const quint32 leaf = u32At(bytes, int(8 + 4 * i));
            if (leaf >= 1 && leaf <= m_pageCount)
                free.insert(leaf);
        }
        trunk = u32At(bytes, 0);
    }
    return free;
}

bool SqliteFilePages::isKnownPage(quint32 number) const
{
    if (m_overflowPages.contains(number))
        return true;
    const QByteArray bytes = page(number);
    if (bytes.isEmpty())
        return false;
    const quint8 type = quint8(bytes[headerOffset(number)]);
    return type == kInteriorTable || type == kLeafTable || type == kInteriorIndex || type == kLeafIndex;
}

std::optional<SqliteFilePages::Leaf> SqliteFilePages::readLeaf(quint32 number) const
{
    const QByteArray bytes = page(number);
    const int h = headerOffset(number);
    if (bytes.isEmpty() || quint8(bytes[h]) != kLeafTable)
        return std::nullopt;
    const int cells = int(u16At(bytes, h + 3));
    const int firstCell = h + 8 + 2 * cells;
    if (firstCell > m_usable)
        return std::nullopt;
    Leaf leaf;
    for (int i = 0; i < cells; ++i) {
        Cell cell;
        if (cellAt(bytes, int(u16At(bytes, h + 8 + 2 * i)), firstCell, &cell))
            leaf.cells.append(cell);
        else
            ++leaf.unreadableCells;
    }
    return leaf;
}

bool SqliteFilePages::cellAt(const QByteArray& bytes, int at, int firstCell, Cell* out) const
{
    // payload size, rowid, the payload's first bytes (and the first overflow page)
    int cursor = at;
    quint64 size = 0;
    quint64 rowid = 0;
    if (at < firstCell || !varintAt(bytes, &cursor, m_usable, &size) || !varintAt(bytes, &cursor, m_usable, &rowid)
        || size > quint64(kMaxPayload))
        return false;
    const std::optional<QByteArray> payload = payloadOf(bytes, cursor, int(size));
    if (!payload || payload->size() != qsizetype(size))
        return false;
    std::optional<QVariantList> values = recordOf(*payload);
    if (!values)
        return false;
    out->rowid = qint64(rowid);
    out->values = std::move(*values);
    return true;
}

std::optional<QByteArray> SqliteFilePages::payloadOf(const QByteArray& bytes, int at, int size) const
{
    // How much of a payload a table leaf keeps on its page; the rest is on
    // a chain of overflow pages, each starting with the next one's number.
    const int maxLocal = m_usable - 35;
    int local = size;
    if (size > maxLocal) {
        const int minLocal = (m_usable - 12) * 32 / 255 - 23;
        const int k = minLocal + (size - minLocal) % (m_usable - 4);
        local = k <= maxLocal ? k : minLocal;
    }
    const bool overflows = local < size;
    if (size < 0 || size > kMaxPayload || at + local + (overflows ? 4 : 0) > m_usable
        || qint64(size - local) > qint64(m_pageCount) * (m_usable - 4))
        return std::nullopt;
    QByteArray payload = bytes.mid(at, local);
    if (!overflows)
        return payload;
    QSet<quint32> chain;
    quint32 next = u32At(bytes, at + local);
    while (payload.size() < size) {
        if (next < 1 || next > m_pageCount || chain.contains(next))
            return std::nullopt;
        chain.insert(next);
        const QByteArray over = page(next);
        if (over.isEmpty())
            return std::nullopt;
        payload.append(over.constData() + 4, std::min<qsizetype>(size - payload.size(), m_usable - 4));
        next = u32At(over, 0);
    }
    m_overflowPages.unite(chain);
    return payload;
}

std::optional<QVariantList> SqliteFilePages::recordOf(const QByteArray& payload) const
{
    int cursor = 0;
    quint64 headerSize = 0;
    if (!varintAt(payload, &cursor, int(payload.size()), &headerSize) || headerSize > quint64(payload.size())
        || headerSize < quint64(cursor))
        return std::nullopt;
    QList<quint64> types;
    qint64 body = 0;
    while (cursor < int(headerSize)) {
        quint64 type = 0;
        if (!varintAt(payload, &cursor, int(headerSize), &type))
            return std::nullopt;
        const qint64 bytes = contentSize(type);
        if (bytes < 0 || bytes > payload.size() - qint64(headerSize) - body)
            return std::nullopt;
        body += bytes;
        types.append(type);
    }
    // The values fill the rest of the payload exactly.
    if (types.isEmpty() || qint64(headerSize) + body != payload.size())
        return std::nullopt;
    QVariantList values;
    const char* at = payload.constData() + headerSize;
    for (quint64 type : types) {
        const int bytes = int(contentSize(type));
        if (type == 0)
            values.append(QVariant());
        else if (type <= 6)
            values.append(QVariant(qlonglong(signedBigEndian(at, bytes))));
        else if (type == 7) {
            const quint64 bits = quint64(signedBigEndian(at, 8));
            double d;
            std::memcpy(&d, &bits, sizeof d);
            values.append(QVariant(d));
        } else if (type == 8 || type == 9)
            values.append(QVariant(qlonglong(type - 8)));
        else if (type % 2 == 0)
            values.append(QVariant(QByteArray(at, bytes)));
        else if (m_encoding == 2 || m_encoding == 3) {
            QString text(bytes / 2, Qt::Uninitialized);
            for (int i = 0; i < bytes / 2; ++i) {
                const quint8 a = quint8(at[2 * i]);
                const quint8 b = quint8(at[2 * i + 1]);
                text[i] = QChar(m_encoding == 2 ? (b << 8 | a) : (a << 8 | b));
            }
            values.append(QVariant(text));
        } else
            values.append(QVariant(QString::fromUtf8(at, bytes)));
        at += bytes;
    }
    return values;
}
