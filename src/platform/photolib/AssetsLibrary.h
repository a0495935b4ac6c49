#pragma once

#include "platform/photolib/ImageOrientation.h"
#include "platform/photolib/PhotoLibrary.h"

#include <QImage>
#include <QObject>
#include <QString>

#include <vector>

// Group types, bits of a mask: a listing asks for several at once.
enum AssetsGroupType : unsigned {
    AssetsGroupAlbum = 2,        // each subfolder of the library
    AssetsGroupSavedPhotos = 16, // the camera roll: the library's top level
    AssetsGroupAll = 0xFFFFFFFFu,
};

enum class AssetsFilter { AllPhotos, AllVideos, AllAssets };

// One group of the library; its assets in ascending index (oldest first).
struct AssetsGroup {
    QString name;
    unsigned type = AssetsGroupSavedPhotos;
    std::vector<PhotoAssetPtr> assets;

    std::vector<PhotoAssetPtr> filtered(AssetsFilter filter) const;
    int count(AssetsFilter filter) const;
};

// Why the library cannot be read (a missing or unreadable folder); the album
// shows it as refused access.
struct AssetsLibraryError {
    QString domain = QStringLiteral("photolib");
    int code = 0;
    QString message;
};

// The device photo library as the album's reader sees it: groups, images of
// its assets, and a notice when anything in it changes. Enumeration and the
// image calls are safe from any thread; changed() comes on the main thread.
class AssetsLibrary : public QObject, public PhotoLibrary {
    Q_OBJECT
public:
    using QObject::QObject;

    // False (with the error) when the library cannot be read at all.
    virtual bool enumerateGroups(unsigned types, std::vector<AssetsGroup>* groups,
                                 AssetsLibraryError* error) = 0;

    // A centre-cropped square (for videos, of the poster frame).
    virtual QImage thumbnail(const PhotoAsset& asset) = 0;
    // The whole picture, fit in 256 × 256.
    virtual QImage aspectRatioThumbnail(const PhotoAsset& asset) = 0;
    // Upright and fit in 2048 × 1536.
    virtual QImage fullScreenImage(const PhotoAsset& asset) = 0;
    // The raw decode as stored, with the turn that shows it upright.
    virtual QImage fullResolutionImage(const PhotoAsset& asset, ImageOrientation* orientation) = 0;

    static constexpr int kThumbnailSide = 200;
    static constexpr int kAspectSide = 256;
    static constexpr QSize kFullScreen{2048, 1536};

signals:
    void changed();
};
