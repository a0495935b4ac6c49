#include "analytics/facade/AnalyticsOperationCenter.h"

AnalyticsOperationCenter::AnalyticsOperationCenter()
    : m_opQueue("ana.operations", 5), m_netInfoRefreshQueue("ana.netinfo", 1)
{
}

AnalyticsOperationCenter& AnalyticsOperationCenter::sharedInstance()
{
    static AnalyticsOperationCenter center;
    return center;
}

void AnalyticsOperationCenter::addOperation(std::function<void()> operation)
{
    if (operation)
        m_opQueue.addBlock(std::move(operation));
}

void AnalyticsOperationCenter::addRefreshNetinfoThreadOperation(std::function<void()> operation)
{
    if (operation)
        m_netInfoRefreshQueue.addBlock(std::move(operation));
}

int AnalyticsOperationCenter::getRefreshNetinfoOperationCount() const
{
    return m_netInfoRefreshQueue.operationCount();
}

bool AnalyticsOperationCenter::cancelAll()
{
    m_opQueue.cancelAllOperations();
    m_netInfoRefreshQueue.cancelAllOperations();
    return true;
}

void AnalyticsOperationCenter::waitUntilIdle()
{
    m_opQueue.waitUntilAllOperationsAreFinished();
    m_netInfoRefreshQueue.waitUntilAllOperationsAreFinished();
}

void AnalyticsOperationCenter::shutdown()
{
    m_opQueue.shutdown();
    m_netInfoRefreshQueue.shutdown();
}
