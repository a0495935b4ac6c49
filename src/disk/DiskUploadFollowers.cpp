#include "disk/DiskUploadFollowers.h"

void DiskUploadFollowers::hold(const QString& fileId)
{
    std::lock_guard lock(m_mutex);
    m_held.insert(fileId, {});
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
