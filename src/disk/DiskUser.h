#pragma once

#include "disk/DiskDir.h"

#include <QString>
#include <QtGlobal>

#include <memory>
#include <optional>

// The signed-in cloud-disk account as the account query reports it. Read
// and changed on the main thread.
class DiskUser {
public:
    // The account number; empty before the account query has answered.
    std::optional<qint64> uin() const { return m_uin; }
    void setUin(std::optional<qint64> uin) { m_uin = uin; }

    const std::shared_ptr<DiskDir>& root_dir() const { return m_rootDir; }
    void setRoot_dir(std::shared_ptr<DiskDir> dir) { m_rootDir = std::move(dir); }
    const QString& root_key() const { return m_rootKey; }
    void setRoot_key(const QString& key) { m_rootKey = key; }

    qint64 used_space() const { return m_usedSpace; }
    void setUsed_space(qint64 bytes) { m_usedSpace = bytes; }
    qint64 total_space() const { return m_totalSpace; }
    void setTotal_space(qint64 bytes) { m_totalSpace = bytes; }

private:
    std::optional<qint64> m_uin;
    std::shared_ptr<DiskDir> m_rootDir;
    QString m_rootKey;
    qint64 m_usedSpace = 0;
    qint64 m_totalSpace = 0;
};
