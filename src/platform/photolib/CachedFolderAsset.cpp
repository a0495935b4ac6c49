#include "platform/photolib/CachedFolderAsset.h"

#include "platform/media/VideoReader.h"
#include "platform/photolib/ExifFacts.h"
#include "platform/photolib/LibraryFile.h"

CachedFolderAsset::CachedFolderAsset(const QString& root, const QString& path,
                                     std::shared_ptr<MetadataCache> cache)
    : FolderPhotoAsset(root, path), m_cache(std::move(cache))
{
}

CachedFolderAsset::CachedFolderAsset(const QString& root, const FolderScan::Entry& entry,
                                     std::shared_ptr<MetadataCache> cache)
    : FolderPhotoAsset(root, entry), m_cache(std::move(cache))
{
}

int CachedFolderAsset::orientation() const
{
    date();  // resolves the facts once
    return m_orientation;
}

void CachedFolderAsset::apply(const FileFacts& facts) const
{
    m_date = QDateTime::fromMSecsSinceEpoch(facts.dateMs, Qt::UTC);
    m_duration = facts.duration;
    m_orientation = facts.orientation;
}

bool CachedFolderAsset::takeCachedFacts() const
{
    const std::optional<FileFacts> facts = m_cache ? m_cache->find(filePath(), size(), modificationTimeMs()) : std::nullopt;
    if (!facts)
        return false;
    std::call_once(m_factsOnce, [&] { apply(*facts); });
    return true;
}

void CachedFolderAsset::resolveFacts() const
{
    const qint64 mtime = modificationTimeMs();
    if (m_cache) {
        if (auto facts = m_cache->find(filePath(), size(), mtime)) {
            apply(*facts);
            return;
        }
    }
    m_date = QDateTime();
    if (kind() == PhotoAssetKind::Photo) {
        const ExifFacts exif = ExifFacts::read(filePath());
        if (exif.date)
            m_date = *exif.date;
        m_orientation = exif.orientation;
    } else if (kind() == PhotoAssetKind::Video) {
        const LibraryFile file(filePath());
        if (const auto info = VideoReader::probe(file.readerPath())) {
            m_duration = info->duration;
            if (info->creationTime)
                m_date = *info->creationTime;
        }
    }
    if (!m_date.isValid())
        m_date = modificationTime().toUTC();
    if (!m_date.isValid())
        m_date = QDateTime::fromMSecsSinceEpoch(0, Qt::UTC);
    if (m_cache) {
        m_cache->store(filePath(), size(), mtime,
                       FileFacts{static_cast<int>(kind()), m_date.toMSecsSinceEpoch(),
                                           m_duration, m_orientation});
    }
}
