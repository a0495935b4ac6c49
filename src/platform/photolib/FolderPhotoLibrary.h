#pragma once

#include "platform/photolib/FolderPhotoAsset.h"
#include "platform/photolib/PhotoLibrary.h"

#include <QHash>
#include <QStringList>

#include <atomic>
#include <memory>
#include <mutex>

class SerialQueue;

// The device photo library on a desktop: a folder whose top-level files are
// the camera roll and whose subfolders are albums. Hidden files and the
// temporary files of unfinished writes are not items. Safe to use from
// several threads; saves run one at a time on the library's own queue.
class FolderPhotoLibrary : public PhotoLibrary {
public:
    explicit FolderPhotoLibrary(QString root);
    ~FolderPhotoLibrary() override;
    FolderPhotoLibrary(const FolderPhotoLibrary&) = delete;
    FolderPhotoLibrary& operator=(const FolderPhotoLibrary&) = delete;

    // The XDG pictures folder.
    static QString defaultRoot();
    const QString& root() const { return m_root; }

    // The asset for a file under the root; null for anything else (missing,
    // not a regular file, outside the root, hidden or temporary).
    virtual PhotoAssetPtr assetForFile(const QString& path);
    PhotoAssetPtr assetForUrl(const QString& url) override;
    void saveToLibrary(const QByteArray& bytes, const QString& ext, const QDateTime& date,
                       SaveCompletion completion) override;
    void stopSaves() override;

    // Absolute paths of every item: the camera roll first, then each
    // album's files; names sorted within a folder.
    virtual QStringList scanFiles() const;
    // Whether a file name can be an item (not hidden, not a temporary file).
    static bool isItemName(const QString& fileName);

    // Installs the video probe used for the dates and durations of videos.
    void setVideoProbe(VideoProbe probe);
    VideoProbe videoProbe() const;

protected:
    // Writes bytes as a new file in folder under a name no file has, never
    // replacing one: temporary file, fsync, then a link that fails on an
    // existing name. Sets the file time to date when valid. Runs on the
    // save queue.
    virtual bool writeNewFile(const QString& folder, const QByteArray& bytes, const QString& ext,
                              const QDateTime& date, QString* path, QString* error);
    void remember(const FolderPhotoAsset& asset);

private:
    QString m_root;
    mutable std::mutex m_mutex;
    QHash<QString, QString> m_pathById;   // id -> absolute path, for items seen so far
    VideoProbe m_probe;
    std::atomic<bool> m_savesStopped{false};
    std::unique_ptr<SerialQueue> m_saveQueue;   // last: finishes its saves before the rest goes
};
