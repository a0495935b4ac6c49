#pragma once

#include "disk/DiskDir.h"

#include <QDateTime>
#include <QMutex>

#include <atomic>
#include <functional>
#include <memory>

class Clock;
class UserDefaults;

// State of the cloud album shared by its screens and batches: its folder, the
// folder on screen, sign-in and reload flags, the batches' cancel flags and
// the once-a-day "not on Wi-Fi" notice.
class PavCloudAlbumManager {
public:
    // defaults and clock are resolved on every use when not given (the
    // process-wide user defaults, the system clock).
    explicit PavCloudAlbumManager(std::function<UserDefaults&()> defaults = {}, const Clock* clock = nullptr);
    PavCloudAlbumManager(const PavCloudAlbumManager&) = delete;
    PavCloudAlbumManager& operator=(const PavCloudAlbumManager&) = delete;

    static PavCloudAlbumManager& sharePavCloudAlbumManager();

    std::shared_ptr<DiskDir> cloudAlbumDir() const;
    void setCloudAlbumDir(std::shared_ptr<DiskDir> dir);
    // When unset, takes (and keeps) the cloud album's folder.
    std::shared_ptr<DiskDir> currentDir();
    void setCurrentDir(std::shared_ptr<DiskDir> dir);

    bool isLogined() const { return m_isLogined; }
    void setIsLogined(bool value) { m_isLogined = value; }
    bool isUpdated() const { return m_isUpdated; }
    void setIsUpdated(bool value) { m_isUpdated = value; }
    bool needCancelUpload() const { return m_needCancelUpload; }
    void setNeedCancelUpload(bool value) { m_needCancelUpload = value; }
    bool needCancelDownload() const { return m_needCancelDownload; }
    void setNeedCancelDownload(bool value) { m_needCancelDownload = value; }
    bool needCancelDelete() const { return m_needCancelDelete; }
    void setNeedCancelDelete(bool value) { m_needCancelDelete = value; }

    QDateTime noWifiAlertDate() const;
    void setNoWifiAlertDate(const QDateTime& date);

    // False when the notice was already given today; otherwise remembers
    // today (in memory and in the user defaults) and answers true.
    bool needAlertWhenNotWifi();

    // The cloud album's folder directly below the account's root (also the
    // cloud album screen's title).
    static constexpr const char* kCloudAlbumName = "云端相册";
    static constexpr const char* kNoWifiAlertDateKey = "PavCloudAlbumNoWifiAlertDate";

private:
    UserDefaults& defaults() const;

    std::function<UserDefaults&()> m_defaults;
    const Clock* m_clock;
    mutable QMutex m_mutex;
    std::shared_ptr<DiskDir> m_cloudAlbumDir;
    std::shared_ptr<DiskDir> m_currentDir;
    QDateTime m_noWifiAlertDate;
    std::atomic<bool> m_isLogined{false};
    std::atomic<bool> m_isUpdated{false};
    std::atomic<bool> m_needCancelUpload{false};
    std::atomic<bool> m_needCancelDownload{false};
    std::atomic<bool> m_needCancelDelete{false};
};
