#pragma once

#include "analytics/OperationQueue.h"

#include <functional>

// The SDK's two general queues: start-up work and notices (five at once),
// and the network-information refresh (one at a time).
class AnalyticsOperationCenter {
public:
    AnalyticsOperationCenter();
    static AnalyticsOperationCenter& sharedInstance();

    void addOperation(std::function<void()> operation);
    void addRefreshNetinfoThreadOperation(std::function<void()> operation);
    int getRefreshNetinfoOperationCount() const;
    bool cancelAll();
    void waitUntilIdle();

    OperationQueue& opQueue() { return m_opQueue; }

private:
    OperationQueue m_opQueue;
    OperationQueue m_netInfoRefreshQueue;
};
