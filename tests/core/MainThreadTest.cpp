#include "platform/core/MainThread.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/SerialQueue.h"
#include "support/EventLoop.h"

#include <QObject>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <vector>

TEST(MainThread, PostAndWaitRunsInlineOnMainAndBlocksFromWorker)
{
    bool ranInline = false;
    MainThread::postAndWait([&] { ranInline = MainThread::isMainThread(); });
    EXPECT_TRUE(ranInline);

    SerialQueue queue("test.worker");
    std::atomic<bool> onMain{false};
    std::atomic<bool> done{false};
    queue.async([&] {
        MainThread::postAndWait([&] { onMain = MainThread::isMainThread(); });
        done = true;
    });
    ASSERT_TRUE(waitUntil([&] { return done.load(); }));
    EXPECT_TRUE(onMain);
}

TEST(MainThread, DelayedCallIsDroppedWhenItsOwnerIsGone)
{
    int calls = 0;
    auto owner = std::make_unique<QObject>();
    MainThread::after(20, owner.get(), [&] { ++calls; });
    QObject keeper;
    // Due after the first: once it ran, the first one's time has passed too.
    MainThread::after(40, &keeper, [&] { calls += 10; });
    owner.reset();
    ASSERT_TRUE(waitUntil([&] { return calls >= 10; }));
    EXPECT_EQ(calls, 10);
}

TEST(SerialQueue, RunsTasksInOrderOnOneThread)
{
    std::vector<int> order;
    {
        SerialQueue queue("test.order");
        for (int i = 0; i < 100; ++i)
            queue.async([&order, i] { order.push_back(i); });
    }
    ASSERT_EQ(order.size(), 100u);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(order[size_t(i)], i);
}

TEST(NotificationCenter, ObserverStopsHearingWhenTokenDiesEvenDuringDelivery)
{
    NotificationCenter center;
    int first = 0, second = 0;
    ObserverToken secondToken;
    auto firstToken = center.addObserver("N", [&](const QVariantMap&) {
        ++first;
        secondToken.reset();   // removes the next observer mid-delivery
    });
    secondToken = center.addObserver("N", [&](const QVariantMap&) { ++second; });
    auto other = center.addObserver("Other", [&](const QVariantMap&) { second += 100; });
    center.post("N");
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 0);
    firstToken.reset();
    center.post("N");
    EXPECT_EQ(first, 1);
}
