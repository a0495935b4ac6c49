#include "platform/photolib/MetadataCache.h"

#include "platform/core/RegularFile.h"
#include "platform/photolib/CacheFile.h"

#include <QDir>
#include <QFileInfo>

#include <cstring>

namespace {
constexpr quint32 kMagic = 0x50564d43;  // "PVMC"
constexpr quint32 kVersion = 2;

// One entry as stored after its path (UTF-16 units, preceded by their count
// as a 32-bit number), little-endian, unpadded.
#pragma pack(push, 1)
struct StoredFacts {
    qint64 size;
    qint64 mtimeMs;
    qint32 kind;
    qint64 dateMs;
    double duration;
    qint32 orientation;
};
#pragma pack(pop)

template <typename T>
bool take(const char*& at, const char* end, T* out)
{
    if (end - at < qsizetype(sizeof(T)))
        return false;
    std::memcpy(out, at, sizeof(T));
    at += sizeof(T);
    return true;
}
}

MetadataCache::MetadataCache(QString file) : m_file(std::move(file)) {}

void MetadataCache::loadLocked()
{
    if (m_loaded)
        return;
    m_loaded = true;
    QByteArray bytes;
    if (!RegularFile::read(m_file, RegularFile::Cap::kCacheIndex, &bytes))
        return;
    const char* at = bytes.constData();
    const char* const end = at + bytes.size();
    quint32 magic = 0, version = 0, count = 0;
    if (!take(at, end, &magic) || !take(at, end, &version) || !take(at, end, &count) || magic != kMagic
        || version != kVersion)
        return;  // another format: rebuilt as files are read
    const qint64 smallest = qint64(sizeof(quint32) + sizeof(StoredFacts));
    if (count > (end - at) / smallest)
        return;
    QHash<QString, Entry> entries;
    entries.reserve(count);
    for (quint32 i = 0; i < count; ++i) {
        quint32 units = 0;
        if (!take(at, end, &units) || units > quint32(end - at) / 2)
            return;  // a damaged file is ignored whole
        QString path(qsizetype(units), Qt::Uninitialized);
        std::memcpy(path.data(), at, size_t(units) * 2);
        at += size_t(units) * 2;
        StoredFacts stored;
        if (!take(at, end, &stored))
            return;
        Entry e;
        e.size = stored.size;
        e.mtimeMs = stored.mtimeMs;
        e.facts = FileFacts{stored.kind, stored.dateMs, stored.duration, stored.orientation};
        entries.insert(path, e);
    }
    m_entries = std::move(entries);
}

std::optional<FileFacts> MetadataCache::find(const QString& path, qint64 size, qint64 mtimeMs)
{
    std::lock_guard lock(m_mutex);
    loadLocked();
    auto it = m_entries.find(path);
    if (it == m_entries.end() || it->size != size || it->mtimeMs != mtimeMs)
        return std::nullopt;
    it->seen = true;
    return it->facts;
}

void MetadataCache::store(const QString& path, qint64 size, qint64 mtimeMs, const FileFacts& facts)
{
    std::lock_guard lock(m_mutex);
    loadLocked();
    m_entries.insert(path, Entry{size, mtimeMs, facts, true});
    m_dirty = true;
}

void MetadataCache::save(const QString& scannedRoot)
{
    std::lock_guard lock(m_mutex);
    const QString prefix = scannedRoot + QLatin1Char('/');
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (!it->seen && it.key().startsWith(prefix)) {
            it = m_entries.erase(it);
            m_dirty = true;
        } else {
            it->seen = false;
            ++it;
        }
    }
    if (!m_dirty)
        return;
    QByteArray bytes;
    auto put = [&bytes](const auto& value) { bytes.append(reinterpret_cast<const char*>(&value), sizeof value); };
    put(kMagic);
    put(kVersion);
    put(quint32(m_entries.size()));
    for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it) {
        put(quint32(it.key().size()));
        bytes.append(reinterpret_cast<const char*>(it.key().constData()), it.key().size() * 2);
        put(StoredFacts{it->size, it->mtimeMs, qint32(it->facts.kind), it->facts.dateMs, it->facts.duration,
                        qint32(it->facts.orientation)});
    }
    if (CacheFile::write(m_file, bytes))
        m_dirty = false;
}

