#include "platform/photolib/FolderAssetsLibrary.h"

#include "platform/core/MainThread.h"
#include "platform/core/RegularFile.h"
#include "platform/core/ThreadHooks.h"
#include "platform/media/ImageCodec.h"
#include "platform/media/VideoReader.h"
#include "platform/photolib/CacheFile.h"
#include "platform/photolib/LibraryFile.h"
#include "platform/photolib/LibraryWatcher.h"
#include "platform/photolib/NativeName.h"

#include <QDir>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <atomic>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const CachedFolderAsset* asCached(const PhotoAsset& asset)
{
    return dynamic_cast<const CachedFolderAsset*>(&asset);
}

// Ascending index is oldest first; the file name breaks ties (the scan
// leaves files in the order the folder gives them).
void sortOldestFirst(std::vector<PhotoAssetPtr>* assets)
{
    struct Key {
        qint64 dateMs;
        const QString* name;
        size_t index;
    };
    std::vector<Key> keys;
    keys.reserve(assets->size());
    for (size_t i = 0; i < assets->size(); ++i) {
        const auto* asset = static_cast<const FolderPhotoAsset*>((*assets)[i].get());
        keys.push_back(Key{asset->date().toMSecsSinceEpoch(), &asset->relativePath(), i});
    }
    std::sort(keys.begin(), keys.end(), [](const Key& a, const Key& b) {
        return a.dateMs != b.dateMs ? a.dateMs < b.dateMs : *a.name < *b.name;
    });
    std::vector<PhotoAssetPtr> sorted;
    sorted.reserve(assets->size());
    for (const Key& key : keys)
        sorted.push_back(std::move((*assets)[key.index]));
    *assets = std::move(sorted);
}

// Works out every asset's date: from the metadata cache where it knows the
// file, else (EXIF, container) on a few threads: a first listing reads
// thousands of files' headers.
void resolveDates(const std::vector<std::shared_ptr<const CachedFolderAsset>>& made)
{
    std::vector<const CachedFolderAsset*> assets;
    for (const auto& asset : made) {
        if (!asset->takeCachedFacts())
            assets.push_back(asset.get());
    }
    constexpr size_t kChunk = 32;
    const size_t threads = std::min<size_t>(std::max(1u, std::thread::hardware_concurrency()),
                                            (assets.size() + kChunk - 1) / kChunk);
    if (threads <= 1) {
        for (const CachedFolderAsset* asset : assets)
            asset->date();
        return;
    }
    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t begin; (begin = next.fetch_add(kChunk)) < assets.size();) {
            for (size_t i = begin; i < std::min(begin + kChunk, assets.size()); ++i)
                assets[i]->date();
        }
    };
    std::vector<std::thread> pool;
    for (size_t i = 1; i < threads; ++i)
        pool.push_back(ThreadHooks::start("PhotoLibFacts", work));
    work();
    for (std::thread& t : pool)
        t.join();
}

// The sum of every entry's hash of its path, size and time: equal for the
// same listing in any order (on this machine and Qt; a difference only costs
// one prune).
quint64 listingSignature(const std::vector<FolderScan::Entry>& entries)
{
    constexpr size_t kSeed = 0x50564c53;
    quint64 sum = 0;
    for (const FolderScan::Entry& e : entries) {
        const qint64 facts[3] = {e.size, e.mtimeMs, e.isAlbum ? 1 : 0};
        sum += quint64(qHashBits(e.relativePath.constData(), size_t(e.relativePath.size()) * sizeof(QChar), kSeed))
            ^ (quint64(qHashBits(facts, sizeof facts, kSeed)) << 1);
    }
    return sum;
}

const QString kSquareVariant = QStringLiteral("square");
const QString kAspectVariant = QStringLiteral("aspect");
const QString kFullScreenVariant = QStringLiteral("full-screen");
const QString kFullResolutionVariant = QStringLiteral("full-resolution");

QImage fitIn(const QImage& image, const QSize& box)
{
    if (image.isNull() || (image.width() <= box.width() && image.height() <= box.height()))
        return image;
    // A picture a pixel or two thin along one side keeps that pixel: its
    // fitted size would round to nothing there (3000 x 1 into 2048 x 1536).
    return ImageCodec::smoothScaled(image, image.size().scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
}

}

FolderAssetsLibrary::FolderAssetsLibrary(const QString& root, const QString& cachesFolder,
                                         QObject* parent, int settleMs)
    : AssetsLibrary(parent),
      m_store(std::make_unique<CachedFolderLibrary>(
          QDir(root).absolutePath(),
          std::make_shared<MetadataCache>(cachesFolder + QStringLiteral("/PhotoLibrary/metadata.bin")))),
      m_thumbnails(cachesFolder + QStringLiteral("/PhotoLibrary/Thumbnails")),
      m_prunedForFile(cachesFolder + QStringLiteral("/PhotoLibrary/Thumbnails/pruned-for"))
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
    // By its bytes: the folder's name need not be UTF-8 (see NativeName).
    const QByteArray root = NativeName::encode(m_store->root());
    struct stat st;
    int code = 0;
    QString message;
    if (::stat(root.constData(), &st) != 0) {
        code = 1;
        message = QStringLiteral("the photo library folder %1 does not exist");
    } else if (!S_ISDIR(st.st_mode)) {
        code = 2;
        message = QStringLiteral("the photo library %1 is not a folder");
    } else if (::access(root.constData(), R_OK | X_OK) != 0) {
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
    const std::vector<FolderScan::Entry> entries = FolderScan::scan(m_store->root(), FolderScan::FileOrder::AsRead);
    dropThumbnailsOfGoneFiles(entries);
    std::vector<std::shared_ptr<const CachedFolderAsset>> made;
    made.reserve(entries.size());
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
        made.push_back(asset);
        (inAlbum ? albums.back() : roll).assets.push_back(std::move(asset));
    }
    resolveDates(made);
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
    // Only when the listing differs from the one pruned for last, by this
    // library or by an earlier run (its signature is kept beside the
    // thumbnails): an unchanged library builds no keys.
    const quint64 signature = listingSignature(entries);
    {
        std::lock_guard lock(m_pruneMutex);
        if (!m_prunedFor) {
            QByteArray stored;
            if (RegularFile::read(m_prunedForFile, sizeof(quint64), &stored) && stored.size() == sizeof(quint64))
                m_prunedFor = qFromLittleEndian<quint64>(stored.constData());
        }
        if (m_prunedFor == signature)
            return;
        m_prunedFor = signature;
    }
    QSet<QString> live;
    live.reserve(qsizetype(entries.size()) * 2);
    for (const FolderScan::Entry& entry : entries) {
        if (entry.isAlbum)
            continue;
        const QString path = m_store->root() + QLatin1Char('/') + entry.relativePath;
        for (const QString& variant : {kSquareVariant, kAspectVariant})
            live.insert(ThumbnailCache::keyFor(path, entry.size, entry.mtimeMs, variant));
    }
    m_thumbnails.prune(live);
    QByteArray bytes(sizeof(quint64), Qt::Uninitialized);
    qToLittleEndian(signature, bytes.data());
    CacheFile::write(m_prunedForFile, bytes);
}

QImage FolderAssetsLibrary::decodeSource(const PhotoAsset& asset, const QSize& cover) const
{
    // Opened by the name's own bytes, which Qt's path calls would not keep.
    LibraryFile file(asset.filePath());
    if (asset.kind() == PhotoAssetKind::Video) {
        const int side = cover.isValid() ? std::max(cover.width(), cover.height()) * 2 : 0;
        return VideoReader::poster(file.readerPath(), side);
    }
    return file.isOpen() ? ImageCodec::decodeScaled(file.device(), cover) : QImage();
}

QImage FolderAssetsLibrary::decodeOnce(const PhotoAsset& asset, const QString& variant,
                                       const std::function<QImage(const QString& key)>& make)
{
    const QString path = asset.filePath();
    const std::optional<FolderScan::Entry> now = FolderScan::stat(path, QString());
    if (!now)
        return {};  // deleted under us: an empty image, never a crash
    const QString key = ThumbnailCache::keyFor(path, now->size, now->mtimeMs, variant);
    return m_decodes.run(path, key, [&] { return make(key); });
}

QImage FolderAssetsLibrary::cached(const PhotoAsset& asset, const QString& variant,
                                   const std::function<QImage(const QImage&)>& make,
                                   const QSize& decodeCover)
{
    return decodeOnce(asset, variant, [&](const QString& key) {
        // Also looked up once the gate is passed: the decode just ended may
        // have stored it.
        QImage image = m_thumbnails.find(key);
        if (!image.isNull())
            return image;
        image = make(decodeSource(asset, decodeCover));
        m_thumbnails.store(key, image);
        return image;
    });
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
    return decodeOnce(asset, kFullScreenVariant,
                      [&](const QString&) { return fitIn(decodeSource(asset, kFullScreen), kFullScreen); });
}

QImage FolderAssetsLibrary::fullResolutionImage(const PhotoAsset& asset, ImageOrientation* orientation)
{
    if (orientation)
        *orientation = ImageOrientation::Up;
    if (asset.kind() == PhotoAssetKind::Video)
        return decodeOnce(asset, kFullResolutionVariant, [&](const QString&) { return decodeSource(asset, QSize()); });
    const QImage raw = decodeOnce(asset, kFullResolutionVariant, [&](const QString&) {
        LibraryFile file(asset.filePath());
        return file.isOpen() ? ImageCodec::decodeAsStored(file.device()) : QImage();
    });
    if (!raw.isNull() && orientation) {
        const CachedFolderAsset* cachedAsset = asCached(asset);
        *orientation = orientationFromExif(cachedAsset ? cachedAsset->orientation() : 1);
    }
    return raw;
}
