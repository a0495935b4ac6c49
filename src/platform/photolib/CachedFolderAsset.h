#pragma once

#include "platform/photolib/FolderPhotoAsset.h"
#include "platform/photolib/MetadataCache.h"

#include <memory>

// A library file whose date, length and orientation come from the metadata
// cache when the file is unchanged since it was last read, else from its
// EXIF block (photos) or its container (videos), else its file time. The date
// is never absent.
class CachedFolderAsset : public FolderPhotoAsset {
public:
    CachedFolderAsset(const QString& root, const QString& path,
                      std::shared_ptr<MetadataCache> cache);
    // From a scan's entry: no further stat.
    CachedFolderAsset(const QString& root, const FolderScan::Entry& entry, std::shared_ptr<MetadataCache> cache);

    int orientation() const;  // EXIF value, 1 when upright or unknown
    // Takes the facts from the metadata cache when it knows the file as it
    // is; false (nothing read) when it does not.
    bool takeCachedFacts() const;

protected:
    void resolveFacts() const override;
    void apply(const FileFacts& facts) const;

private:
    std::shared_ptr<MetadataCache> m_cache;
    mutable int m_orientation = 1;
};
