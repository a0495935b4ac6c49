#include "support/HeldIndex.h"

#include "Public/SqliteDBManager.h"

#include <chrono>

std::unique_ptr<HeldIndex> HeldIndex::open(const QString& path)
{
    DBOEncryptAlbumOp::initWithFilePath(path).reset();
    return std::make_unique<HeldIndex>(SqliteDBManager::initWithFilePath(path));
}

bool HeldIndex::insertRecords(const PavPhotoModelList& models)
{
    {
        std::unique_lock lock(m_mutex);
        ++m_waiting;
        m_released.wait_for(lock, std::chrono::seconds(30), [this] { return m_open; });
        --m_waiting;
    }
    return DBOEncryptAlbumOp::insertRecords(models);
}

bool HeldIndex::holding() const
{
    std::lock_guard lock(m_mutex);
    return m_waiting > 0;
}

void HeldIndex::release()
{
    {
        std::lock_guard lock(m_mutex);
        m_open = true;
    }
    m_released.notify_all();
}
