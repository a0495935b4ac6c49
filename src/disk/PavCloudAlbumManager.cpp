#include "disk/PavCloudAlbumManager.h"

#include "platform/core/Clock.h"
#include "platform/core/PavDateUtil.h"
#include "platform/core/UserDefaults.h"

PavCloudAlbumManager::PavCloudAlbumManager(std::function<UserDefaults&()> defaults, const Clock* clock)
    : m_defaults(std::move(defaults)), m_clock(clock ? clock : &Clock::system())
{
    const QVariant stored = this->defaults().objectForKey(kNoWifiAlertDateKey);
    if (stored.typeId() == QMetaType::QDateTime)
        m_noWifiAlertDate = stored.toDateTime().toUTC();
}

PavCloudAlbumManager& PavCloudAlbumManager::sharePavCloudAlbumManager()
{
    static PavCloudAlbumManager manager;
    return manager;
}

UserDefaults& PavCloudAlbumManager::defaults() const
{
    return m_defaults ? m_defaults() : UserDefaults::standardUserDefaults();
}

std::shared_ptr<DiskDir> PavCloudAlbumManager::cloudAlbumDir() const
{
    QMutexLocker lock(&m_mutex);
    return m_cloudAlbumDir;
}

void PavCloudAlbumManager::setCloudAlbumDir(std::shared_ptr<DiskDir> dir)
{
    QMutexLocker lock(&m_mutex);
    m_cloudAlbumDir = std::move(dir);
}

std::shared_ptr<DiskDir> PavCloudAlbumManager::currentDir()
{
    QMutexLocker lock(&m_mutex);
    if (!m_currentDir)
        m_currentDir = m_cloudAlbumDir;
    return m_currentDir;
}

void PavCloudAlbumManager::setCurrentDir(std::shared_ptr<DiskDir> dir)
{
    QMutexLocker lock(&m_mutex);
    m_currentDir = std::move(dir);
}

QDateTime PavCloudAlbumManager::noWifiAlertDate() const
{
    QMutexLocker lock(&m_mutex);
    return m_noWifiAlertDate;
}

void PavCloudAlbumManager::setNoWifiAlertDate(const QDateTime& date)
{
    QMutexLocker lock(&m_mutex);
    m_noWifiAlertDate = date.toUTC();
}

bool PavCloudAlbumManager::needAlertWhenNotWifi()
{
    const QDateTime today = PavDateUtil::pavToday(*m_clock);
    {
        QMutexLocker lock(&m_mutex);
        if (m_noWifiAlertDate.isValid() && m_noWifiAlertDate == today)
            return false;
        m_noWifiAlertDate = today;
    }
    defaults().setObject(kNoWifiAlertDateKey, today);
    return true;
}
