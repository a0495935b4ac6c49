#pragma once

#include "platform/photolib/PhotoAsset.h"

#include <QDateTime>
#include <QString>

#include <memory>
#include <optional>

// One library asset as the albums hand it around, with the annotations the
// album screens hang on it (SystemAlbumCustom): its kind and date, set by the
// reader for every asset it hands out, the selection flag and the "already
// in the private album" flag. A new enumeration makes new objects, so the
// annotations of one listing never leak into another. After publication the
// annotations are touched on the main thread only.
class ALAsset {
public:
    static inline const QString ALAssetTypePhoto = QStringLiteral("ALAssetTypePhoto");
    static inline const QString ALAssetTypeVideo = QStringLiteral("ALAssetTypeVideo");
    static inline const QString ALAssetTypeUnknown = QStringLiteral("ALAssetTypeUnknown");

    explicit ALAsset(PhotoAssetPtr asset);

    const PhotoAssetPtr& asset() const { return m_asset; }
    QString url() const { return m_asset->url(); }

    const QString& type() const { return m_type; }
    void setType(const QString& type) { m_type = type; }
    const QDateTime& date() const { return m_date; }
    void setDate(const QDateTime& date) { m_date = date; }
    bool isChecked() const { return m_isChecked.value_or(false); }
    void setIsChecked(bool checked) { m_isChecked = checked; }
    std::optional<bool> isEncrypted() const { return m_isEncrypted; }
    void setIsEncrypted(bool encrypted) { m_isEncrypted = encrypted; }

    bool isPhoto() const { return m_type == ALAssetTypePhoto; }
    bool isVideo() const { return m_type == ALAssetTypeVideo; }

    static QString typeOf(PhotoAssetKind kind);

private:
    PhotoAssetPtr m_asset;
    QString m_type;
    QDateTime m_date;
    std::optional<bool> m_isChecked;
    std::optional<bool> m_isEncrypted;
};

using ALAssetPtr = std::shared_ptr<ALAsset>;
