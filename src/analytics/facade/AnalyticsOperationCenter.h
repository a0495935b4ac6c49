#pragma once

#include "analytics/OperationQueue.h"

#include <functional>
#include <memory>
#include <utility>

// The SDK's two general queues: start-up work and notices (five at once),
// and the network-information refresh (one at a time).
class AnalyticsOperationCenter {
public:
    AnalyticsOperationCenter();
    static AnalyticsOperationCenter& sharedInstance();

    void addOperation(std::function<void()> operation);
    // Queues target->selector(obj) on opQueue; the operation keeps the
    // target alive until it ran. Ignored without a target.
    template <typename Target, typename Param, typename Obj>
    void addSelector(void (Target::*selector)(Param), std::shared_ptr<Target> target, Obj obj)
    {
        if (target && selector)
            addOperation([selector, target = std::move(target), obj = std::move(obj)] { ((*target).*selector)(obj); });
    }
    void addRefreshNetinfoThreadOperation(std::function<void()> operation);
    int getRefreshNetinfoOperationCount() const;
    bool cancelAll();
    void waitUntilIdle();
    // Both queues stopped and joined (OperationQueue::shutdown).
    void shutdown();

    OperationQueue& opQueue() { return m_opQueue; }
    OperationQueue& netInfoRefreshQueue() { return m_netInfoRefreshQueue; }

private:
    OperationQueue m_opQueue;
    OperationQueue m_netInfoRefreshQueue;
};
