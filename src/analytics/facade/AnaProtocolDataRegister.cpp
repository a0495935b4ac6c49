#include "analytics/facade/AnaProtocolDataRegister.h"

AnaProtocolDataRegister& AnaProtocolDataRegister::sharedInstance()
{
    static AnaProtocolDataRegister instance;
    return instance;
}

void AnaProtocolDataRegister::registResponseObjectType(ResponseFactory factory, int key)
{
    std::lock_guard lock(m_mutex);
    if (factory)
        m_responses.try_emplace(key, std::move(factory));
}

void AnaProtocolDataRegister::registRequestObjectType(RequestFactory factory, int key)
{
    std::lock_guard lock(m_mutex);
    if (factory)
        m_requests.try_emplace(key, std::move(factory));
}

bool AnaProtocolDataRegister::hasResponseObjectType(int key) const
{
    std::lock_guard lock(m_mutex);
    return m_responses.count(key) != 0;
}

bool AnaProtocolDataRegister::hasRequestObjectType(int key) const
{
    std::lock_guard lock(m_mutex);
    return m_requests.count(key) != 0;
}

std::shared_ptr<AnaLocalObjInitWithNuxProtocol> AnaProtocolDataRegister::makeResponseObject(int key) const
{
    ResponseFactory factory;
    {
        std::lock_guard lock(m_mutex);
        const auto it = m_responses.find(key);
        if (it == m_responses.end())
            return nullptr;
        factory = it->second;
    }
    return factory();
}

std::shared_ptr<AnaNSObjTransToKelBufferProtocol> AnaProtocolDataRegister::makeRequestObject(int key) const
{
    RequestFactory factory;
    {
        std::lock_guard lock(m_mutex);
        const auto it = m_requests.find(key);
        if (it == m_requests.end())
            return nullptr;
        factory = it->second;
    }
    return factory();
}

std::vector<int> AnaProtocolDataRegister::getRequestObjectTypeKeys() const
{
    std::lock_guard lock(m_mutex);
    std::vector<int> keys;
    for (const auto& [key, factory] : m_requests)
        keys.push_back(key);
    return keys;
}

void AnaProtocolDataRegister::clear()
{
    std::lock_guard lock(m_mutex);
    m_responses.clear();
    m_requests.clear();
}
