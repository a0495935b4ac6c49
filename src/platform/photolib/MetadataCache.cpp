#include "platform/photolib/MetadataCache.h"

#include "platform/core/AtomicFile.h"
#include "platform/photolib/CacheFile.h"

#include <QDataStream>
#include <QDir>
#include <QFileInfo>

namespace {
constexpr quint32 kMagic = 0x50564d43;  // "PVMC"
constexpr quint32 kVersion = 1;
// Smallest possible stored entry: an empty path and the fixed fields.
constexpr qint64 kMinEntryBytes = 4 + 8 + 8 + 4 + 8 + 8 + 4;
}

MetadataCache::MetadataCache(QString file) : m_file(std::move(file)) {}

void MetadataCache::loadLocked()
{
    if (m_loaded)
        return;
    m_loaded = true;
    QByteArray bytes;
    if (!AtomicFile::read(m_file, &bytes))
        return;
    QDataStream in(bytes);
    quint32 magic = 0, version = 0, count = 0;
    in >> magic >> version >> count;
    if (in.status() != QDataStream::Ok || magic != kMagic || version != kVersion)
        return;
    if (count > (bytes.size() - in.device()->pos()) / kMinEntryBytes)
        return;
    QHash<QString, Entry> entries;
    entries.reserve(count);
    for (quint32 i = 0; i < count; ++i) {
        QString path;
        Entry e;
        qint32 kind = 0, orientation = 0;
        in >> path >> e.size >> e.mtimeMs >> kind >> e.facts.dateMs >> e.facts.duration >> orientation;
        if (in.status() != QDataStream::Ok)
            return;  // a damaged file is ignored whole
        e.facts.kind = kind;
        e.facts.orientation = orientation;
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
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << kMagic << kVersion << static_cast<quint32>(m_entries.size());
    for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it) {
        out << it.key() << it->size << it->mtimeMs << static_cast<qint32>(it->facts.kind)
            << it->facts.dateMs << it->facts.duration << static_cast<qint32>(it->facts.orientation);
    }
    if (CacheFile::write(m_file, bytes))
        m_dirty = false;
}

