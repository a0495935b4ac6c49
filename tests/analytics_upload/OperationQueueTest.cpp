#include "analytics/facade/AnalyticsOperationCenter.h"
#include "analytics/OperationQueue.h"

#include <QString>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
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
    auto target = std::make_shared<Target>();
    center.addSelector(&Target::note, target, QString("first"));
    center.addSelector(&Target::note, std::shared_ptr<Target>(), QString("dropped"));
    center.waitUntilIdle();
    EXPECT_EQ(target->seen, std::vector<QString>{"first"});

    std::mutex mutex;
    std::condition_variable changed;

    // Five start-up operations meet while all of them run.
    int arrived = 0;
    std::atomic<int> met{0};
    for (int i = 0; i < 5; ++i)
        center.addOperation([&] {
            std::unique_lock lock(mutex);
            ++arrived;
            changed.notify_all();
            if (changed.wait_for(lock, std::chrono::seconds(10), [&] { return arrived == 5; }))
                ++met;
        });
    center.waitUntilIdle();
    EXPECT_EQ(met.load(), 5);

    // Two refreshes: the second starts only once the first has ended, however
    // long the first waits for it.
    bool secondStarted = false;
    bool firstEnded = false;
    bool overlapped = true;
    bool secondSawTheFirstEnd = false;
    center.addRefreshNetinfoThreadOperation([&] {
        std::unique_lock lock(mutex);
        overlapped = changed.wait_for(lock, std::chrono::milliseconds(300), [&] { return secondStarted; });
        firstEnded = true;
    });
    center.addRefreshNetinfoThreadOperation([&] {
        std::lock_guard lock(mutex);
        secondStarted = true;
        secondSawTheFirstEnd = firstEnded;
        changed.notify_all();
    });
    center.waitUntilIdle();
    std::lock_guard lock(mutex);
    EXPECT_TRUE(secondStarted);
    EXPECT_FALSE(overlapped);
    EXPECT_TRUE(secondSawTheFirstEnd);
}

namespace {

// Runs until cancelled.
class WaitForCancel final : public Operation {
public:
    void start() override
    {
        started.set_value();
        std::unique_lock lock(m_mutex);
        m_cv.wait(lock, [this] { return isCancelled(); });
    }
    void cancel() override
    {
        std::lock_guard lock(m_mutex);
        Operation::cancel();
        m_cv.notify_all();
    }
    std::promise<void> started;

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
};

}

// The program ends its queues itself: shutdown cancels the running work and
// what waits, joins the workers, and later work is refused rather than left
// for the exit handlers.
TEST(OperationQueue, ShutdownCancelsJoinsAndRefusesLaterWork)
{
    OperationQueue queue("test.shutdown", 1);
    auto running = std::make_shared<WaitForCancel>();
    std::future<void> started = running->started.get_future();
    queue.addOperation(running);
    std::atomic<bool> ran{false};
    queue.addBlock([&] { ran = true; });
    ASSERT_EQ(started.wait_for(std::chrono::seconds(30)), std::future_status::ready);

    queue.shutdown();
    EXPECT_TRUE(running->isCancelled());
    EXPECT_EQ(queue.operationCount(), 0);
    queue.addBlock([&] { ran = true; });
    EXPECT_EQ(queue.operationCount(), 0);
    queue.shutdown();
    EXPECT_FALSE(ran.load());
}
