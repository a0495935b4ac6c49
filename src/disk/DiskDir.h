#pragma once

#include <QDateTime>
#include <QString>

#include <memory>

// A folder of the cloud disk. Folders link to their parent; the account's top
// folder has none. Folders are always held by std::shared_ptr.
class DiskDir : public std::enable_shared_from_this<DiskDir> {
public:
    DiskDir() = default;
    DiskDir(QString name, QString key, std::shared_ptr<DiskDir> father = {});

    const QString& dir_name() const { return m_name; }
    void setDir_name(const QString& name) { m_name = name; }
    const QString& dir_key() const { return m_key; }
    void setDir_key(const QString& key) { m_key = key; }
    const std::shared_ptr<DiskDir>& dir_father() const { return m_father; }
    void setDir_father(std::shared_ptr<DiskDir> father) { m_father = std::move(father); }

    const QDateTime& dir_ctime() const { return m_ctime; }
    void setDir_ctime(const QDateTime& time) { m_ctime = time; }

    // The full path from the account's top ("/" for the top itself).
    QString fullPath();

    // The ancestor directly below the account's top folder; the folder itself
    // when it is already there (or is the top).
    std::shared_ptr<DiskDir> rootDir();

private:
    QString m_name;
    QString m_key;
    std::shared_ptr<DiskDir> m_father;
    QDateTime m_ctime;
};
