#include "analytics/AnalyticsPersistObjectRegister.h"

AnalyticsPersistObjectRegister& AnalyticsPersistObjectRegister::sharedInstance()
{
    static AnalyticsPersistObjectRegister instance;
    return instance;
}

void AnalyticsPersistObjectRegister::registPersisteObjectType(Factory factory, int type)
{
    std::lock_guard lock(m_mutex);
    if (factory)
        m_types.try_emplace(type, std::move(factory));
}

AnalyticsPersistObjectRegister::Factory AnalyticsPersistObjectRegister::getPersistObjectType(int type) const
{
    std::lock_guard lock(m_mutex);
    const auto found = m_types.find(type);
    return found == m_types.end() ? Factory() : found->second;
}

QList<int> AnalyticsPersistObjectRegister::getRegistedTypes() const
{
    std::lock_guard lock(m_mutex);
    QList<int> types;
    for (const auto& entry : m_types)
        types.append(entry.first);
    return types;
}
