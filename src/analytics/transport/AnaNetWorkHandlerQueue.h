#pragma once

#include "analytics/OperationQueue.h"

#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <mutex>

class AnaNetworkHandlerBase;
class AnaRequestDataPackage;

// Turns each request into a handler of the class registered for its key and
// runs at most three at once, by priority.
class AnaNetWorkHandlerQueue {
public:
    using Factory = std::function<std::shared_ptr<AnaNetworkHandlerBase>()>;

    AnaNetWorkHandlerQueue();
    static AnaNetWorkHandlerQueue& sharedInstance();

    // Stores or replaces the handler class for the key.
    void registHandlerClass(Factory factory, const QString& key);
    template <typename T>
    void registHandlerClass(const QString& key)
    {
        registHandlerClass([] { return std::make_shared<T>(); }, key);
    }
    // The queued handler, or null when no class is registered for the key.
    std::shared_ptr<AnaNetworkHandlerBase> addRequest(const std::shared_ptr<AnaRequestDataPackage>& request);
    void cancelRequest(const std::shared_ptr<AnaNetworkHandlerBase>& handler);
    void cancelAllOperations();
    int operationCount() const { return m_queue.operationCount(); }
    void waitUntilAllOperationsAreFinished() { m_queue.waitUntilAllOperationsAreFinished(); }
    // Cancels every request (a running exchange is aborted) and joins the
    // workers; later requests are refused.
    void shutdown() { m_queue.shutdown(); }

private:
    mutable std::mutex m_mutex;
    std::map<QString, Factory> m_handlers;
    OperationQueue m_queue;
};
