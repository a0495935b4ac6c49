#include "platform/core/NotificationCenter.h"

#include <vector>

ObserverToken& ObserverToken::operator=(ObserverToken&& other) noexcept
{
    if (this != &other) {
        reset();
        m_center = other.m_center;
        m_id = other.m_id;
        other.m_center = nullptr;
        other.m_id = 0;
    }
    return *this;
}

void ObserverToken::reset()
{
    if (m_center)
        m_center->remove(m_id);
    m_center = nullptr;
    m_id = 0;
}

NotificationCenter& NotificationCenter::defaultCenter()
{
    static NotificationCenter center;
    return center;
}

ObserverToken NotificationCenter::addObserver(const QString& name, Handler handler)
{
    QMutexLocker lock(&m_mutex);
    const quint64 id = m_nextId++;
    m_entries.emplace(id, Entry{name, std::make_shared<Handler>(std::move(handler))});
    return ObserverToken(this, id);
}

void NotificationCenter::remove(quint64 id)
{
    QMutexLocker lock(&m_mutex);
    m_entries.erase(id);
}

void NotificationCenter::post(const QString& name, const QVariantMap& userInfo)
{
    std::vector<std::pair<quint64, std::shared_ptr<Handler>>> targets;
    {
        QMutexLocker lock(&m_mutex);
        for (const auto& [id, entry] : m_entries)
            if (entry.name == name)
                targets.emplace_back(id, entry.handler);
    }
    for (const auto& [id, handler] : targets) {
        bool stillRegistered;
        {
            QMutexLocker lock(&m_mutex);
            stillRegistered = m_entries.count(id) > 0;
        }
        if (stillRegistered)
            (*handler)(userInfo);
    }
}
