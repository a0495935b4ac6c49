#pragma once

#include "analytics/packages/AnaPackageObject.h"

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

// Which object answers (or carries) each payload type code; a "class" is a
// factory of new objects. The first registration of a code wins. Nothing
// registers a type in this system.
class AnaProtocolDataRegister {
public:
    using ResponseFactory = std::function<std::shared_ptr<AnaLocalObjInitWithNuxProtocol>()>;
    using RequestFactory = std::function<std::shared_ptr<AnaNSObjTransToKelBufferProtocol>()>;

    static AnaProtocolDataRegister& sharedInstance();

    void registResponseObjectType(ResponseFactory factory, int key);
    void registRequestObjectType(RequestFactory factory, int key);
    // The registered class, or an empty one.
    ResponseFactory getResponseObjectType(int key) const;
    RequestFactory getRequestObjectType(int key) const;
    // A new object of the registered class, or null.
    std::shared_ptr<AnaLocalObjInitWithNuxProtocol> makeResponseObject(int key) const;
    std::shared_ptr<AnaNSObjTransToKelBufferProtocol> makeRequestObject(int key) const;
    std::vector<int> getRequestObjectTypeKeys() const;
    void clear();   // tests

private:
    mutable std::mutex m_mutex;
    std::map<int, ResponseFactory> m_responses;
    std::map<int, RequestFactory> m_requests;
};
