#include "disk/DiskUploadFollowers.h"

bool DiskUploadFollowers::tryHold(const QString& fileId)
{
    std::lock_guard lock(m_mutex);
    if (m_held.contains(fileId))
        return false;
    m_held.insert(fileId, {});
    return true;
}

bool DiskUploadFollowers::follow(const QString& fileId, Follower follower)
{
    std::lock_guard lock(m_mutex);
    const auto it = m_held.find(fileId);
    if (fileId.isEmpty() || it == m_held.end())
        return false;
    it->push_back(std::move(follower));
    return true;
}

std::vector<DiskUploadFollowers::Follower> DiskUploadFollowers::release(const QString& fileId)
{
    std::lock_guard lock(m_mutex);
    return fileId.isEmpty() ? std::vector<Follower>() : m_held.take(fileId);
}
