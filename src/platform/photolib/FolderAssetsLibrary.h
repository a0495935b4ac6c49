#pragma once

#include "platform/photolib/AssetsLibrary.h"
#include "platform/photolib/CachedFolderLibrary.h"
#include "platform/photolib/FileDecodeGate.h"
#include "platform/photolib/ThumbnailCache.h"

#include <memory>
#include <mutex>
#include <optional>

class LibraryWatcher;

// The device photo library on a folder (see FolderPhotoLibrary): the top
// level is the camera roll, each direct subfolder an album. Facts are kept in
// a metadata cache and thumbnails in a thumbnail cache, both under the
// given caches folder, so a library opened again reads no image twice.
// Changes to the folder are announced once after a short settling delay.
// Made on the main thread; the readers are safe from any thread.
class FolderAssetsLibrary : public AssetsLibrary {
    Q_OBJECT
public:
    FolderAssetsLibrary(const QString& root, const QString& cachesFolder, QObject* parent = nullptr,
                        int settleMs = 300);
    // A shared library whose last owner may be any thread: it is deleted on
    // the main thread, where its watcher lives.
    static std::shared_ptr<FolderAssetsLibrary> open(const QString& root, const QString& cachesFolder);
    ~FolderAssetsLibrary() override;

    const QString& root() const { return m_store->root(); }

    bool enumerateGroups(unsigned types, std::vector<AssetsGroup>* groups,
                         AssetsLibraryError* error) override;
    QImage thumbnail(const PhotoAsset& asset) override;
    QImage aspectRatioThumbnail(const PhotoAsset& asset) override;
    QImage fullScreenImage(const PhotoAsset& asset) override;
    QImage fullResolutionImage(const PhotoAsset& asset, ImageOrientation* orientation) override;

    PhotoAssetPtr assetForUrl(const QString& url) override { return m_store->assetForUrl(url); }
    void saveToLibrary(const QByteArray& bytes, const QString& ext, const QDateTime& date,
                       SaveCompletion completion) override
    {
        m_store->saveToLibrary(bytes, ext, date, std::move(completion));
    }
    void stopSaves() override { m_store->stopSaves(); }

protected:
    // The picture (a video's poster frame) at a size covering `cover`, or
    // whole when it is not valid. Called only through the decode gate.
    virtual QImage decodeSource(const PhotoAsset& asset, const QSize& cover) const;

private:
    bool checkRoot(AssetsLibraryError* error) const;
    QImage cached(const PhotoAsset& asset, const QString& variant,
                  const std::function<QImage(const QImage& source)>& make, const QSize& decodeCover);
    // make() run through the decode gate under the key of the file as it is
    // now and `variant`; a null image when the file is gone.
    QImage decodeOnce(const PhotoAsset& asset, const QString& variant,
                      const std::function<QImage(const QString& key)>& make);
    // Drops cached thumbnails of files no longer listed (gone or changed).
    void dropThumbnailsOfGoneFiles(const std::vector<FolderScan::Entry>& entries);

    std::unique_ptr<CachedFolderLibrary> m_store;
    ThumbnailCache m_thumbnails;
    FileDecodeGate m_decodes;
    std::mutex m_pruneMutex;
    std::optional<quint64> m_prunedFor;   // signature of the listing pruned for last
    QString m_prunedForFile;
    LibraryWatcher* m_watcher = nullptr;
};
