#pragma once

#include "analytics/AnalyticsPersistObject.h"

#include <QList>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

// Which record class decodes each numeric record type. The first
// registration of a type wins.
class AnalyticsPersistObjectRegister {
public:
    using Factory = std::function<std::shared_ptr<AnalyticsPersistObject>()>;

    static AnalyticsPersistObjectRegister& sharedInstance();

    void registPersisteObjectType(Factory factory, int type);
    template <typename T>
    void registPersisteObjectType(int type)
    {
        registPersisteObjectType([] { return std::make_shared<T>(); }, type);
    }
    Factory getPersistObjectType(int type) const;
    QList<int> getRegistedTypes() const;

private:
    mutable std::mutex m_mutex;
    std::map<int, Factory> m_types;
};
