#include "analytics/facade/AnalyticsOperationCenter.h"
#include "analytics/OperationQueue.h"

#include <QString>

#include <gtest/gtest.h>

#include <future>
#include <mutex>
#include <vector>

TEST(OperationQueue, HigherPriorityRunsFirstAndCancelDropsQueuedWork)
{
    OperationQueue queue("test.ops", 1);
    std::promise<void> gate;
    std::shared_future<void> opened = gate.get_future().share();
    std::mutex mutex;
    std::vector<int> order;
    queue.addBlock([opened] { opened.wait(); });
    for (int p : {0, 4, -4, 4})
        queue.addBlock([&, p] {
            std::lock_guard lock(mutex);
            order.push_back(p);
        }, p);
    gate.set_value();
    queue.waitUntilAllOperationsAreFinished();
    EXPECT_EQ(order, (std::vector<int>{4, 4, 0, -4}));

    std::promise<void> gate2;
    std::shared_future<void> opened2 = gate2.get_future().share();
    bool ran = false;
    queue.addBlock([opened2] { opened2.wait(); });
    queue.addBlock([&] { ran = true; });
    queue.cancelAllOperations();
    gate2.set_value();
    queue.waitUntilAllOperationsAreFinished();
    EXPECT_FALSE(ran);
    EXPECT_EQ(queue.operationCount(), 0);
}

TEST(OperationQueue, OperationCenterRunsSelectorsAndRefreshesOneAtATime)
{
    struct Target {
        std::vector<QString> seen;
        void note(const QString& text) { seen.push_back(text); }
    };
    AnalyticsOperationCenter center;
    EXPECT_EQ(center.opQueue().maxConcurrent(), 5);
    EXPECT_EQ(center.netInfoRefreshQueue().maxConcurrent(), 1);
    auto target = std::make_shared<Target>();
    center.addSelector(&Target::note, target, QString("first"));
    center.addSelector(&Target::note, std::shared_ptr<Target>(), QString("dropped"));
    center.waitUntilIdle();
    EXPECT_EQ(target->seen, std::vector<QString>{"first"});
}
