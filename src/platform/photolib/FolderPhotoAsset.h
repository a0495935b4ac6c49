#pragma once

#include "platform/photolib/PhotoAsset.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <mutex>
#include <optional>

// What a video container says about itself.
struct VideoFacts {
    QDateTime date;        // creation time (UTC); invalid when the container has none
    double duration = 0;   // seconds
};
// Probes a video file; nullopt when it cannot be read.
using VideoProbe = std::function<std::optional<VideoFacts>(const QString& path)>;

// An asset backed by one file under the library folder. Its id is a hash of
// the path relative to the library root, so the URL stays the same across
// scans. Kind comes from the extension; the date from EXIF, else the video
// probe, else the file's modification time (worked out on first use).
class FolderPhotoAsset : public PhotoAsset {
public:
    // path must lie under root; size and modification time are taken now.
    FolderPhotoAsset(const QString& root, const QString& path, VideoProbe probe = {});
    // For a scan that has already read the file's size and time (no stat).
    FolderPhotoAsset(const QString& root, const QString& relativePath, qint64 size, const QDateTime& mtime);

    QString url() const override { return m_url; }
    PhotoAssetKind kind() const override { return m_kind; }
    QDateTime date() const override;
    double duration() const override;
    qint64 size() const override { return m_size; }
    bool readAll(QByteArray* out, QString* error = nullptr) const override;
    QString filePath() const override { return m_path; }
    QString extension() const override { return m_ext; }

    const QString& relativePath() const { return m_relativePath; }
    const QString& assetId() const { return m_id; }
    QDateTime modificationTime() const { return m_mtime; }

    static PhotoAssetKind kindForExtension(const QString& ext);
    // The stable id of a path relative to the library root (upper-case hex).
    static QString idForRelativePath(const QString& relativePath);
    static QString urlFor(const QString& id, const QString& ext);
    // The id= value of a URL of that shape; empty when there is none.
    static QString idOfUrl(const QString& url);

protected:
    // Works out date and duration; called once.
    virtual void resolveFacts() const;

    mutable QDateTime m_date;
    mutable double m_duration = 0;

private:
    QString m_path;
    QString m_relativePath;
    QString m_ext;
    QString m_id;
    QString m_url;
    PhotoAssetKind m_kind;
    qint64 m_size = 0;
    QDateTime m_mtime;
    VideoProbe m_probe;
    mutable std::once_flag m_factsOnce;
};
