#pragma once

#include "disk/DiskDir.h"

#include <QByteArray>
#include <QDateTime>
#include <QMutex>
#include <QString>

#include <atomic>
#include <memory>

// A cloud-disk file. Files listed from a folder carry their server id; new
// upload files get one when their upload starts. Always held by
// std::shared_ptr; the sizes and the server id may change on the facade's
// threads while a transfer runs.
class DiskFile {
public:
    DiskFile() = default;
    DiskFile(const DiskFile&) = delete;
    DiskFile& operator=(const DiskFile&) = delete;

    // A new upload file read from "assets-library://..." or "file://..."
    // (its size taken now), recorded in the file-state cache. Null when the
    // source cannot be found.
    static std::shared_ptr<DiskFile> initWithUploadSource(const QString& source, const QString& fileName,
                                                          std::shared_ptr<DiskDir> fatherDir);
    // A new upload file of the given bytes: a new id, the bytes written to
    // the local cache (its file_path), SHA-1 and MD5 taken, recorded in the
    // file-state cache. Null when the bytes cannot be written.
    static std::shared_ptr<DiskFile> initWithUploadData(const QByteArray& data, const QString& fileName,
                                                        std::shared_ptr<DiskDir> fatherDir);

    // The folder of local file copies (and thumbnails).
    static QString cacheFolder();
    // cacheFolder()/<id>.<EXT>
    static QString localPathFor(const QString& id, const QString& fileName);

    QString file_id() const;
    void setFile_id(const QString& id);
    // The id of the file-state cache row (upload files only).
    const QString& local_id() const { return m_localId; }
    void setLocal_id(const QString& id) { m_localId = id; }

    const QString& file_name() const { return m_name; }
    void setFile_name(const QString& name) { m_name = name; }
    const QString& file_path() const { return m_path; }
    void setFile_path(const QString& path) { m_path = path; }
    qint64 file_size() const { return m_size; }
    void setFile_size(qint64 size) { m_size = size; }
    qint64 file_cur_size() const { return m_curSize; }
    void setFile_cur_size(qint64 size) { m_curSize = size; }
    const QDateTime& file_ctime() const { return m_ctime; }
    void setFile_ctime(const QDateTime& time) { m_ctime = time; }
    int extType() const { return m_extType; }
    void setExtType(int type) { m_extType = type; }
    const std::shared_ptr<DiskDir>& fatherDir() const { return m_father; }
    void setFatherDir(std::shared_ptr<DiskDir> dir) { m_father = std::move(dir); }
    const QString& uploadSource() const { return m_source; }
    void setUploadSource(const QString& source) { m_source = source; }
    const QString& sha1() const { return m_sha1; }
    const QString& md5() const { return m_md5; }
    void setDigests(const QString& sha1, const QString& md5) { m_sha1 = sha1, m_md5 = md5; }

    // Deleted while its upload may still be registering: whatever the upload
    // stores is removed again.
    bool isDiscarded() const { return m_discarded; }
    void setDiscarded(bool discarded) { m_discarded = discarded; }

    // Chosen in the cloud album's edit mode; lives as long as this object,
    // so a new listing starts with nothing chosen.
    bool isChecked() const { return m_isChecked; }
    void setIsChecked(bool checked) { m_isChecked = checked; }

private:
    mutable QMutex m_mutex;
    QString m_fileId;
    QString m_localId;
    QString m_name;
    QString m_path;
    std::atomic<qint64> m_size{0};
    std::atomic<qint64> m_curSize{0};
    QDateTime m_ctime;
    int m_extType = 0;
    std::shared_ptr<DiskDir> m_father;
    QString m_source;
    QString m_sha1;
    QString m_md5;
    std::atomic<bool> m_isChecked{false};
    std::atomic<bool> m_discarded{false};
};

using DiskFilePtr = std::shared_ptr<DiskFile>;
