#include "analytics/transport/AnaNetWorkHandlerQueue.h"

#include "analytics/AnaModel.h"
#include "analytics/transport/AnaNetworkHandlerBase.h"
#include "analytics/transport/AnaRequestDataPackage.h"

AnaNetWorkHandlerQueue::AnaNetWorkHandlerQueue() : m_queue("ana.network", 3) {}

AnaNetWorkHandlerQueue& AnaNetWorkHandlerQueue::sharedInstance()
{
    static AnaNetWorkHandlerQueue queue;
    return queue;
}

void AnaNetWorkHandlerQueue::registHandlerClass(Factory factory, const QString& key)
{
    std::lock_guard lock(m_mutex);
    if (factory)
        m_handlers[key] = std::move(factory);
}

std::shared_ptr<AnaNetworkHandlerBase> AnaNetWorkHandlerQueue::addRequest(
    const std::shared_ptr<AnaRequestDataPackage>& request)
{
    if (!request)
        return nullptr;
    Factory factory;
    {
        std::lock_guard lock(m_mutex);
        const auto it = m_handlers.find(request->handlerKey);
        if (it == m_handlers.end())
            return nullptr;
        factory = it->second;
    }
    std::shared_ptr<AnaNetworkHandlerBase> handler = factory();
    if (!handler)
        return nullptr;
    handler->setRequest(request);
    handler->setQueuePriority(request->priority == 2 ? 4 : request->priority == 0 ? -4 : 0);
    if (AnaModel::getDefualtAnaModel().osVerFloat() >= 4.0f)
        handler->setThreadPriority(request->priority == 2 ? 1.0 : request->priority == 0 ? 0.1 : 0.8);
    m_queue.addOperation(handler);
    return handler;
}

void AnaNetWorkHandlerQueue::cancelRequest(const std::shared_ptr<AnaNetworkHandlerBase>& handler)
{
    if (handler)
        handler->cancel();
}

void AnaNetWorkHandlerQueue::cancelAllOperations()
{
    m_queue.cancelAllOperations();
}
