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

AnaProtocolDataRegister::ResponseFactory AnaProtocolDataRegister::getResponseObjectType(int key) const
{
    std::lock_guard lock(m_mutex);
    const auto it = m_responses.find(key);
    return it == m_responses.end() ? ResponseFactory() : it->second;
}

AnaProtocolDataRegister::RequestFactory AnaProtocolDataRegister::getRequestObjectType(int key) const
{
    std::lock_guard lock(m_mutex);
    const auto it = m_requests.find(key);
    return it == m_requests.end() ? RequestFactory() : it->second;
}

std::shared_ptr<AnaLocalObjInitWithNuxProtocol> AnaProtocolDataRegister::makeResponseObject(int key) const
{
    const ResponseFactory type = getResponseObjectType(key);
    return type ? type() : nullptr;
}

std::shared_ptr<AnaNSObjTransToKelBufferProtocol> AnaProtocolDataRegister::makeRequestObject(int key) const
{
    const RequestFactory type = getRequestObjectType(key);
    return type ? type() : nullptr;
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
