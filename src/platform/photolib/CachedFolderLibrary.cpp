#include "platform/photolib/CachedFolderLibrary.h"

PhotoAssetPtr CachedFolderLibrary::assetForFile(const QString& path)
{
    PhotoAssetPtr plain = FolderPhotoLibrary::assetForFile(path);
    if (!plain)
        return nullptr;
    auto asset = std::make_shared<CachedFolderAsset>(root(), plain->filePath(), m_cache);
    remember(*asset);
    return asset;
}

std::shared_ptr<const CachedFolderAsset> CachedFolderLibrary::makeAsset(const FolderScan::Entry& entry)
{
    return std::make_shared<CachedFolderAsset>(root(), entry, m_cache);
}
