#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <memory>

// What an item of the device photo library is.
enum class PhotoAssetKind { Photo, Video, Other };

// One item of the device photo library: its URL, kind, date, duration, size
// and a checked read of its bytes. Implementations must be safe to use from
// several threads at once.
class PhotoAsset {
public:
    virtual ~PhotoAsset() = default;

    // "assets-library://asset/asset.JPG?id=<id>&ext=JPG"; empty when the
    // asset has none.
    virtual QString url() const = 0;
    virtual PhotoAssetKind kind() const = 0;
    // Creation date (UTC); invalid when unknown.
    virtual QDateTime date() const = 0;
    // Length in seconds for a video, 0 otherwise.
    virtual double duration() const = 0;
    // Length in bytes of the asset's content.
    virtual qint64 size() const = 0;
    // Reads the whole content from offset 0. False (out left empty, the
    // reason in error) when the content is empty, fewer than size() bytes
    // arrive, or it changed since the asset was listed.
    virtual bool readAll(QByteArray* out, QString* error = nullptr) const = 0;

    // The URL the same, unchanged item had in the library's earlier id form
    // (rows stored then carry it); empty when there is no such form.
    virtual QString formerUrl() const { return QString(); }

    // The file behind the asset, when there is one (empty otherwise).
    virtual QString filePath() const { return QString(); }
    // The upper-case extension the URL carries ("JPG", "PNG", "MOV"...).
    virtual QString extension() const;

    // The text after the last "=" of a URL: the item's extension.
    static QString extensionOfUrl(const QString& url);
};

using PhotoAssetPtr = std::shared_ptr<const PhotoAsset>;
