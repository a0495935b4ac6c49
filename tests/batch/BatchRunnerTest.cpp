#include "BatchTestSupport.h"

#include <pthread.h>

#include <atomic>
#include <limits>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>

namespace {

std::string currentThreadName()
{
    char name[32] = {};
    pthread_getname_np(pthread_self(), name, sizeof name);
    return name;
}

}

TEST_F(BatchRunnerTest, RunsItemsInOrderOnItsWorkerAndReportsOnTheMainThread)
{
    std::mutex mutex;
    std::vector<unsigned> order;
    std::vector<std::string> threadNames;
    std::atomic<bool> offMain{true};
    std::atomic<bool> heldWhileRunning{true};
    ASSERT_TRUE(runner->start(5, [&](BatchCompletion item) {
        offMain = offMain && !MainThread::isMainThread();
        heldWhileRunning = heldWhileRunning && idleRecord->inhibited;
        {
            std::lock_guard lock(mutex);
            order.push_back(item.index());
            threadNames.push_back(currentThreadName());
        }
        item.finish(item.index() % 2 == 0);
    }));
    EXPECT_TRUE(runner->isRunning());
    EXPECT_EQ(idle->holdCount(), 1);
    ASSERT_TRUE(waitFinished());

    EXPECT_EQ(order, (std::vector<unsigned>{0, 1, 2, 3, 4}));
    for (const auto& name : threadNames)
        EXPECT_EQ(name, std::string("SystemAlbumBatchEncryptQueue").substr(0, 15));
    EXPECT_TRUE(offMain);
    EXPECT_TRUE(heldWhileRunning);
    EXPECT_FALSE(runner->isRunning());
    EXPECT_EQ(idle->holdCount(), 0);
    EXPECT_FALSE(idleRecord->inhibited);

    EXPECT_EQ(receiver.outcome->kind(), BatchOutcome::Kind::Summary);
    EXPECT_EQ(receiver.outcome->counts(), (BatchCounts{5, 5, 3, 2}));
    ASSERT_EQ(receiver.progress.size(), 5u);
    for (unsigned i = 0; i < 5; ++i)
        EXPECT_EQ(receiver.progress[i].done, i + 1);
    EXPECT_TRUE(receiver.allOnMain);
    EXPECT_EQ(runner->counts(), receiver.outcome->counts());
}

TEST_F(BatchRunnerTest, EveryItemCompletesExactlyOnceWhateverItsWorkAnswers)
{
    runner->setWatchdogMs(300); // long enough never to catch the items that do answer
    std::atomic<int> acceptedRaces{0};
    ASSERT_TRUE(runner->start(5, [&](BatchCompletion item) {
        parked.park(item);
        switch (item.index()) {
        case 0: // answers twice in a row
            item.succeed();
            item.fail();
            break;
        case 1: { // two threads answer at once
            std::thread a([item]() mutable { item.fail(); });
            std::thread b([item]() mutable { item.fail(); });
            a.join();
            b.join();
            break;
        }
        case 2: // an earlier item answers again, late, while this one runs
            parked.at(0).fail();
            parked.at(1).succeed();
            item.succeed();
            break;
        case 3: // never answers: the watchdog fails it
            break;
        case 4: // the silent item wakes up while the last one runs
            acceptedRaces += parked.at(3).succeed() ? 1 : 0;
            item.succeed();
            break;
        }
    }));
    ASSERT_TRUE(waitFinished());
    spinEvents(20); // let any stray answer arrive

    EXPECT_EQ(acceptedRaces, 0);
    EXPECT_EQ(receiver.finishedCalls, 1);
    EXPECT_EQ(receiver.progress.size(), 5u);
    EXPECT_EQ(receiver.outcome->counts(), (BatchCounts{5, 5, 3, 2}));
    EXPECT_EQ(parked.indexes(), (std::vector<unsigned>{0, 1, 2, 3, 4}));
}

TEST_F(BatchRunnerTest, ItemProgressReachesTheOwnerClampedUntilTheItemAnswers)
{
    ASSERT_TRUE(runner->start(2, parkEach()));
    ASSERT_TRUE(waitParked(1));
    BatchCompletion first = parked.at(0);
    first.progress(0.5f);
    first.progress(7.f);
    first.progress(std::numeric_limits<float>::quiet_NaN());
    first.succeed();
    first.progress(0.1f);
    ASSERT_TRUE(waitParked(2));
    parked.at(1).progress(0.3f);
    parked.at(1).fail();
    ASSERT_TRUE(waitFinished());

    using P = std::pair<unsigned, float>;
    EXPECT_EQ(receiver.itemProgress, (std::vector<P>{{0, 0.5f}, {0, 1.f}, {0, 0.f}, {1, 0.3f}}));
    EXPECT_TRUE(receiver.allOnMain);
}

TEST_F(BatchRunnerTest, StartingIsRefusedWhileRunningAndEdgeBatchesStillEnd)
{
    ASSERT_TRUE(runner->start(1, parkEach()));
    EXPECT_FALSE(runner->start(1, parkEach()));
    ASSERT_TRUE(waitParked(1));
    parked.at(0).succeed();
    ASSERT_TRUE(waitFinished());
    const unsigned firstGeneration = runner->generation();

    // Nothing to do: a summary of nothing, no hold left behind.
    receiver.outcome.reset();
    ASSERT_TRUE(runner->start(0, parkEach()));
    ASSERT_TRUE(waitFinished());
    EXPECT_EQ(receiver.outcome->counts(), (BatchCounts{}));
    EXPECT_EQ(idle->holdCount(), 0);
    EXPECT_GT(runner->generation(), firstGeneration);

    // Work that throws fails its item; the batch goes on.
    receiver.outcome.reset();
    ASSERT_TRUE(runner->start(2, [](BatchCompletion item) {
        if (item.index() == 0)
            throw std::runtime_error("unreadable");
        item.succeed();
    }));
    ASSERT_TRUE(waitFinished());
    EXPECT_EQ(receiver.outcome->counts(), (BatchCounts{2, 2, 1, 1}));
}

TEST_F(BatchRunnerTest, TimeAnItemSpendsInAWaitIsNotCountedByItsWatchdog)
{
    runner->setWatchdogMs(200);
    std::mutex mutex;
    std::optional<BatchCompletion::Wait> wait;
    ASSERT_TRUE(runner->start(2, [&](BatchCompletion item) {
        if (item.index() == 0) {
            std::lock_guard lock(mutex);
            wait.emplace(item.beginWait());
        }
        parked.park(item);  // neither answers
    }));
    ASSERT_TRUE(waitParked(1));
    EXPECT_TRUE(runner->isItemWaiting());
    spinEvents(1000);  // five watchdogs' worth
    EXPECT_TRUE(receiver.progress.empty());

    // Once the wait is over the watchdog counts again: the silent items fail.
    {
        std::lock_guard lock(mutex);
        wait.reset();
    }
    ASSERT_TRUE(waitFinished());
    EXPECT_EQ(receiver.outcome->counts(), (BatchCounts{2, 2, 0, 2}));
    EXPECT_EQ(parked.count(), 2u);
}
