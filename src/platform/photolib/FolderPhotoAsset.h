#pragma once

#include "platform/photolib/FolderScan.h"
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

// An asset backed by one file under the library folder. Its id names the
// file, not only its path: a hash of the path relative to the library root
// with the file's size and modification time (whole seconds, as archives
// keep them), so the URL stays the same across scans of an unchanged file and
// across copies and restores that keep names, bytes and times (no inode in
// it), and a new file under a reused name is a new asset unless it has the
// same size and second (the private album compares content before it calls
// anything stored). Id and URL are worked out on first use, as listings
// make thousands of assets and look at few URLs. Kind comes from the
// extension; the date from EXIF, else the video probe, else the file's
// modification time (worked out on first use). Reading fails when the file
// is no longer the one listed (its inode included).
class FolderPhotoAsset : public PhotoAsset {
public:
    // path must lie under root; size, time and inode are taken now.
    FolderPhotoAsset(const QString& root, const QString& path, VideoProbe probe = {});
    // For a scan that has already read the file's facts (no stat).
    FolderPhotoAsset(const QString& root, const FolderScan::Entry& entry);

    QString url() const override;
    // The earlier form named the file by its inode too: it matches only the
    // very file listed then, unchanged.
    QString formerUrl() const override;
    PhotoAssetKind kind() const override { return m_kind; }
    QDateTime date() const override;
    double duration() const override;
    qint64 size() const override { return m_size; }
    bool readAll(QByteArray* out, QString* error = nullptr) const override;
    QString filePath() const override { return m_path; }
    QString extension() const override { return m_ext; }

    const QString& relativePath() const { return m_relativePath; }
    QString assetId() const;
    QDateTime modificationTime() const { return QDateTime::fromMSecsSinceEpoch(m_mtimeMs, Qt::UTC); }
    qint64 modificationTimeMs() const { return m_mtimeMs; }

    static PhotoAssetKind kindForExtension(const QString& ext);
    // The upper-case text after the last dot of a file name ("" when none).
    static QString extensionOfPath(const QString& path);
    // The id of a listed file (upper-case hex).
    static QString idForFile(const FolderScan::Entry& entry);
    static QString urlFor(const QString& id, const QString& ext);
    // The id= value of a URL of that shape; empty when there is none.
    static QString idOfUrl(const QString& url);

protected:
    static QString idOfDigest(const QByteArray& digest);
    // Works out date and duration; called once.
    virtual void resolveFacts() const;

    mutable QDateTime m_date;
    mutable double m_duration = 0;
    mutable std::once_flag m_factsOnce;   // guards resolveFacts()

private:
    QString m_path;
    QString m_relativePath;
    QString m_ext;
    mutable QString m_id;
    mutable QString m_url;
    mutable std::once_flag m_idOnce;
    PhotoAssetKind m_kind;
    qint64 m_size = 0;
    qint64 m_mtimeMs = 0;
    qint64 m_mtimeNs = 0;
    quint64 m_inode = 0;
    VideoProbe m_probe;
};
