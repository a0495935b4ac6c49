#include "BatchTestSupport.h"

#include <atomic>
#include <thread>

TEST_F(BatchRunnerTest, AReceiverDestroyedMidBatchHearsNothingMore)
{
    auto calls = std::make_shared<int>(0);
    auto owner = std::make_unique<QObject>();
    BatchCallbacks counting;
    counting.progress = [calls](const BatchCounts&) { ++*calls; };
    counting.finished = [calls](const BatchOutcome&) { ++*calls; };
    runner->setReceiver(owner.get(), counting);

    ASSERT_TRUE(runner->start(3, parkEach()));
    ASSERT_TRUE(waitParked(1));
    parked.at(0).succeed();
    ASSERT_TRUE(waitParked(2));
    parked.at(1).succeed(); // its progress is still on its way
    const int before = *calls;
    owner.reset();
    ASSERT_TRUE(waitParked(3));
    parked.at(2).succeed();
    ASSERT_TRUE(waitUntil([&] { return !runner->isRunning(); }));
    spinEvents(20);
    EXPECT_EQ(*calls, before);
    EXPECT_EQ(runner->counts(), (BatchCounts{3, 3, 3, 0}));
}

TEST_F(BatchRunnerTest, DestroyingTheRunnerWithAnItemInFlightDeliversNothing)
{
    ASSERT_TRUE(runner->start(3, parkEach()));
    ASSERT_TRUE(waitParked(1));
    parked.at(0).progress(0.4f); // queued for delivery, then dropped
    runner.reset();
    EXPECT_EQ(idle->holdCount(), 0);

    BatchCompletion late = parked.at(0);
    std::thread([late]() mutable { late.succeed(); }).join();
    spinEvents(20);
    EXPECT_FALSE(receiver.outcome.has_value());
    EXPECT_TRUE(receiver.progress.empty());
    EXPECT_TRUE(receiver.itemProgress.empty());
    EXPECT_EQ(parked.count(), 1u);
}

TEST_F(BatchRunnerTest, DestroyingTheRunnerWaitsForItemWorkInHand)
{
    std::atomic<bool> inWork{false};
    std::atomic<bool> release{false};
    std::atomic<bool> returned{false};
    std::atomic<int> started{0};
    ASSERT_TRUE(runner->start(3, [&](BatchCompletion item) {
        ++started;
        inWork = true;
        while (!release)
            std::this_thread::yield();
        item.succeed();
        returned = true;
    }));
    ASSERT_TRUE(waitUntil([&] { return inWork.load(); }));
    std::thread releaser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        release = true;
    });
    runner.reset(); // joins the worker: the work returns first
    EXPECT_TRUE(returned);
    releaser.join();
    spinEvents(20);
    EXPECT_EQ(started, 1);
    EXPECT_FALSE(receiver.outcome.has_value());
    EXPECT_TRUE(receiver.progress.empty());
}
