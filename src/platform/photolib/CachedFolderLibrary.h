#pragma once

#include "platform/photolib/CachedFolderAsset.h"
#include "platform/photolib/FolderPhotoLibrary.h"
#include "platform/photolib/FolderScan.h"

// The folder library whose assets keep their facts in the metadata cache.
class CachedFolderLibrary : public FolderPhotoLibrary {
public:
    CachedFolderLibrary(QString root, std::shared_ptr<MetadataCache> cache)
        : FolderPhotoLibrary(std::move(root)), m_cache(std::move(cache))
    {
    }

    PhotoAssetPtr assetForFile(const QString& path) override;
    // An asset for a file a scan has just listed (no further checks).
    std::shared_ptr<const CachedFolderAsset> makeAsset(const FolderScan::Entry& entry);
    const std::shared_ptr<MetadataCache>& cache() const { return m_cache; }

private:
    std::shared_ptr<MetadataCache> m_cache;
};
