#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <memory>

// One item of the private album.
class PavPhotoModel {
public:
    enum Type { Photo = 1, Video = 2, Other = 3 };

    // A new random UUID string (36 characters), the name of a new item.
    static QString createFileUUID();

    const QString& photoUUID() const { return m_photoUUID; }
    void setPhotoUUID(const QString& uuid) { m_photoUUID = uuid; }
    // Creation time (UTC).
    const QDateTime& photoCreateTime() const { return m_photoCreateTime; }
    void setPhotoCreateTime(const QDateTime& time) { m_photoCreateTime = time; }
    // Length of the plain full content; set when storing, 0 for items read back.
    quint64 photoSize() const { return m_photoSize; }
    void setPhotoSize(quint64 size) { m_photoSize = size; }
    // 1 photo, 2 video, 3 other.
    int photoType() const { return m_photoType; }
    void setPhotoType(int type) { m_photoType = type; }
    double videoDuration() const { return m_videoDuration; }
    void setVideoDuration(double seconds) { m_videoDuration = seconds; }
    // The library asset's URL; empty for a camera photo.
    const QString& photoURL() const { return m_photoURL; }
    void setPhotoURL(const QString& url) { m_photoURL = url; }
    // The file name in the album folder (equal to the UUID).
    const QString& photoPath() const { return m_photoPath; }
    void setPhotoPath(const QString& path) { m_photoPath = path; }
    // Selection mark of the album grids; never stored.
    bool isChecked() const { return m_isChecked; }
    void setIsChecked(bool checked) { m_isChecked = checked; }

private:
    QString m_photoUUID;
    QDateTime m_photoCreateTime;
    quint64 m_photoSize = 0;
    int m_photoType = Photo;
    double m_videoDuration = 0;
    QString m_photoURL;
    QString m_photoPath;
    bool m_isChecked = false;
};

using PavPhotoModelPtr = std::shared_ptr<PavPhotoModel>;
using PavPhotoModelList = QList<PavPhotoModelPtr>;
