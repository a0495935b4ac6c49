#include "platform/photolib/CachedFolderLibrary.h"

PhotoAssetPtr CachedFolderLibrary::assetForFile(const QString& path)
{
    PhotoAssetPtr plain = FolderPhotoLibrary::assetForFile(path);
    if (!plain)
        return nullptr;
    return makeAsset(plain->filePath());
}

std::shared_ptr<const CachedFolderAsset> CachedFolderLibrary::makeAsset(const QString& path)
{
    auto asset = std::make_shared<CachedFolderAsset>(root(), path, m_cache);
    remember(*asset);
    return asset;
}
