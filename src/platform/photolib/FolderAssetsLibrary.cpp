#include "platform/photolib/FolderAssetsLibrary.h"

#include "platform/core/MainThread.h"
#include "platform/media/ImageCodec.h"
#include "platform/media/VideoReader.h"
#include "platform/photolib/LibraryWatcher.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>

namespace {

const CachedFolderAsset* asCached(const PhotoAsset& asset)
{
    return dynamic_cast<const CachedFolderAsset*>(&asset);
}

// Ascending index is oldest first; the scan's path order breaks ties.
void sortOldestFirst(std::vector<PhotoAssetPtr>* assets)
{
    std::vector<std::pair<qint64, size_t>> keys;
    keys.reserve(assets->size());
    for (size_t i = 0; i < assets->size(); ++i)
        keys.emplace_back((*assets)[i]->date().toMSecsSinceEpoch(), i);
    std::stable_sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<PhotoAssetPtr> sorted;
    sorted.reserve(assets->size());
    for (const auto& key : keys)
        sorted.push_back(std::move((*assets)[key.second]));
    *assets = std::move(sorted);
}

const QString kSquareVariant = QStringLiteral("square");
const QString kAspectVariant = QStringLiteral("aspect");

QImage fitIn(const QImage& image, const QSize& box)
{
    if (image.isNull() || (image.width() <= box.width() && image.height() <= box.height()))
        return image;
    return image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

}

FolderAssetsLibrary::FolderAssetsLibrary(const QString& root, const QString& cachesFolder,
                                         QObject* parent, int settleMs)
    : AssetsLibrary(parent),
      m_store(std::make_unique<CachedFolderLibrary>(
          QDir(root).absolutePath(),
          std::make_shared<MetadataCache>(cachesFolder + QStringLiteral("/PhotoLibrary/metadata.bin")))),
      m_thumbnails(cachesFolder + QStringLiteral("/PhotoLibrary/Thumbnails"))
{
    m_watcher = new LibraryWatcher(m_store->root(), this, settleMs);
    connect(m_watcher, &LibraryWatcher::changed, this, &AssetsLibrary::changed);
}

FolderAssetsLibrary::~FolderAssetsLibrary() = default;

std::shared_ptr<FolderAssetsLibrary> FolderAssetsLibrary::open(const QString& root, const QString& cachesFolder)
{
    return std::shared_ptr<FolderAssetsLibrary>(new FolderAssetsLibrary(root, cachesFolder), [](FolderAssetsLibrary* lib) {
        if (MainThread::isMainThread())
            delete lib;
        else
            MainThread::post([lib] { delete lib; });
    });
}

bool FolderAssetsLibrary::checkRoot(AssetsLibraryError* error) const
{
    const QFileInfo info(m_store->root());
    int code = 0;
    QString message;
    if (!info.exists()) {
        code = 1;
        message = QStringLiteral("the photo library folder %1 does not exist");
    } else if (!info.isDir()) {
        code = 2;
        message = QStringLiteral("the photo library %1 is not a folder");
    } else if (!info.isReadable() || !info.isExecutable()) {
        code = 3;
        message = QStringLiteral("the photo library folder %1 cannot be read");
    }
    if (code && error) {
        error->code = code;
        error->message = message.arg(m_store->root());
    }
    return code == 0;
}

bool FolderAssetsLibrary::enumerateGroups(unsigned types, std::vector<AssetsGroup>* groups,
                                          AssetsLibraryError* error)
{
    groups->clear();
    if (!checkRoot(error))
        return false;
    AssetsGroup roll{QStringLiteral("Camera Roll"), AssetsGroupSavedPhotos, {}};
    std::vector<AssetsGroup> albums;
    const std::vector<FolderScan::Entry> entries = FolderScan::scan(m_store->root());
    dropThumbnailsOfGoneFiles(entries);
    for (const FolderScan::Entry& entry : entries) {
        if (entry.isAlbum) {
            if (types & AssetsGroupAlbum)
                albums.push_back(AssetsGroup{entry.relativePath, AssetsGroupAlbum, {}});
            continue;
        }
        const bool inAlbum = entry.relativePath.contains(QLatin1Char('/'));
        if (inAlbum ? !(types & AssetsGroupAlbum) : !(types & AssetsGroupSavedPhotos))
            continue;
        auto asset = m_store->makeAsset(entry);
        (inAlbum ? albums.back() : roll).assets.push_back(std::move(asset));
    }
    if (types & AssetsGroupSavedPhotos) {
        sortOldestFirst(&roll.assets);
        groups->push_back(std::move(roll));
    }
    for (AssetsGroup& album : albums) {
        sortOldestFirst(&album.assets);
        groups->push_back(std::move(album));
    }
    m_store->cache()->save(m_store->root());
    return true;
}

void FolderAssetsLibrary::dropThumbnailsOfGoneFiles(const std::vector<FolderScan::Entry>& entries)
{
    QSet<QString> live;
    for (const FolderScan::Entry& entry : entries) {
        if (entry.isAlbum)
            continue;
        const QString path = m_store->root() + QLatin1Char('/') + entry.relativePath;
        for (const QString& variant : {kSquareVariant, kAspectVariant})
            live.insert(ThumbnailCache::keyFor(path, entry.size, entry.mtimeMs, variant));
    }
    {
        // Only when the library differs from the one pruned for last.
        std::lock_guard lock(m_pruneMutex);
        if (live == m_prunedFor)
            return;
        m_prunedFor = live;
    }
    m_thumbnails.prune(live);
}

QImage FolderAssetsLibrary::sourceImage(const PhotoAsset& asset, const QSize& cover) const
{
    if (asset.kind() == PhotoAssetKind::Video) {
        const int side = cover.isValid() ? std::max(cover.width(), cover.height()) * 2 : 0;
        return VideoReader::poster(asset.filePath(), side);
    }
    return cover.isValid() ? ImageCodec::decodeScaledFile(asset.filePath(), cover)
                           : ImageCodec::decodeFile(asset.filePath());
}

QImage FolderAssetsLibrary::cached(const PhotoAsset& asset, const QString& variant,
                                   const std::function<QImage(const QImage&)>& make,
                                   const QSize& decodeCover)
{
    const QFileInfo info(asset.filePath());
    if (!info.isFile())
        return {};  // deleted under us: an empty image, never a crash
    const QString key = ThumbnailCache::keyFor(
        info.absoluteFilePath(), info.size(), info.lastModified().toMSecsSinceEpoch(), variant);
    QImage image = m_thumbnails.find(key);
    if (!image.isNull())
        return image;
    image = make(sourceImage(asset, decodeCover));
    m_thumbnails.store(key, image);
    return image;
}

QImage FolderAssetsLibrary::thumbnail(const PhotoAsset& asset)
{
    const QSize side(kThumbnailSide, kThumbnailSide);
    return cached(asset, kSquareVariant,
                  [side](const QImage& source) { return ImageCodec::thumbnailWithSize(source, side); },
                  side);
}

QImage FolderAssetsLibrary::aspectRatioThumbnail(const PhotoAsset& asset)
{
    const QSize box(kAspectSide, kAspectSide);
    return cached(asset, kAspectVariant,
                  [box](const QImage& source) { return fitIn(source, box); }, box);
}

QImage FolderAssetsLibrary::fullScreenImage(const PhotoAsset& asset)
{
    if (!QFileInfo(asset.filePath()).isFile())
        return {};
    return fitIn(sourceImage(asset, kFullScreen), kFullScreen);
}

QImage FolderAssetsLibrary::fullResolutionImage(const PhotoAsset& asset, ImageOrientation* orientation)
{
    if (orientation)
        *orientation = ImageOrientation::Up;
    if (asset.kind() == PhotoAssetKind::Video)
        return sourceImage(asset, QSize());
    QImageReader reader(asset.filePath());
    reader.setAutoTransform(false);
    const QImage raw = reader.read();
    if (!raw.isNull() && orientation) {
        const CachedFolderAsset* cachedAsset = asCached(asset);
        *orientation = orientationFromExif(cachedAsset ? cachedAsset->orientation() : 1);
    }
    return raw;
}
