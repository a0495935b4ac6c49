#include "BatchTestSupport.h"

#include <thread>

using Kind = BatchOutcome::Kind;
using R = BatchStopReason;

namespace {

void stopFromAnotherThread(BatchRunner& runner, BatchStopReason reason)
{
    std::thread([&runner, reason] { runner.requestStop(reason); }).join();
}

}

TEST_F(BatchRunnerTest, UserBackgroundAndRelockStopBeforeTheNextItemWithoutSummary)
{
    for (R reason : {R::User, R::Background, R::Relock}) {
        SCOPED_TRACE(int(reason));
        ParkedItems items;
        receiver.outcome.reset();
        ASSERT_TRUE(runner->start(4, [&](BatchCompletion item) { items.park(item); }));
        ASSERT_TRUE(waitUntil([&] { return items.count() == 1; }));
        items.at(0).succeed();
        ASSERT_TRUE(waitUntil([&] { return items.count() == 2; }));

        stopFromAnotherThread(*runner, reason);
        runner->requestStop(R::LibraryChanged); // a later reason does not replace the first
        EXPECT_EQ(runner->stopReason(), reason);
        items.at(1).succeed(); // the item in flight is finished, not cut
        ASSERT_TRUE(waitFinished());

        EXPECT_EQ(items.count(), 2u);
        EXPECT_EQ(receiver.outcome->kind(), Kind::Silent);
        EXPECT_EQ(receiver.outcome->reason(), reason);
        EXPECT_EQ(receiver.outcome->counts(), (BatchCounts{4, 2, 2, 0}));
        EXPECT_EQ(idle->holdCount(), 0);
    }
}

TEST_F(BatchRunnerTest, CancelDuringTheLastItemStillGivesTheSummary)
{
    ASSERT_TRUE(runner->start(2, parkEach()));
    ASSERT_TRUE(waitParked(1));
    parked.at(0).fail();
    ASSERT_TRUE(waitParked(2));
    runner->requestStop(R::User);
    parked.at(1).succeed();
    ASSERT_TRUE(waitFinished());
    EXPECT_EQ(receiver.outcome->kind(), Kind::Summary);
    EXPECT_EQ(receiver.outcome->counts(), (BatchCounts{2, 2, 1, 1}));
}

TEST_F(BatchRunnerTest, LibraryChangeSummarisesWithTheUnprocessedItemsAsFailures)
{
    runner->setStopGraceMs(0); // a library change still waits for its item in flight
    ASSERT_TRUE(runner->start(5, parkEach()));
    ASSERT_TRUE(waitParked(1));
    parked.at(0).succeed();
    ASSERT_TRUE(waitParked(2));
    stopFromAnotherThread(*runner, R::LibraryChanged);
    spinEvents(30);
    EXPECT_TRUE(runner->isRunning());
    parked.at(1).succeed();
    ASSERT_TRUE(waitFinished());

    EXPECT_EQ(parked.count(), 2u);
    EXPECT_EQ(receiver.outcome->kind(), Kind::Summary);
    EXPECT_EQ(receiver.outcome->counts(), (BatchCounts{5, 5, 2, 3}));
    EXPECT_EQ(runner->counts(), (BatchCounts{5, 2, 2, 0}));
}

TEST_F(BatchRunnerTest, LostNetworkShowsOnlyTheNetworkAlertEvenOnTheLastItem)
{
    // The item that finds no connection stops the batch, then fails.
    ASSERT_TRUE(runner->start(2, [this](BatchCompletion item) {
        if (item.index() == 1)
            runner->requestStop(R::NetworkLost);
        item.finish(item.index() == 0);
    }));
    ASSERT_TRUE(waitFinished());
    EXPECT_EQ(receiver.outcome->kind(), Kind::NetworkAlert);
    EXPECT_EQ(receiver.outcome->counts(), (BatchCounts{2, 2, 1, 1}));
}

TEST_F(BatchRunnerTest, StopGraceEndsABatchWhoseItemInFlightNeverAnswers)
{
    runner->setStopGraceMs(0);
    ASSERT_TRUE(runner->start(3, parkEach()));
    ASSERT_TRUE(waitParked(1));
    runner->requestStop(R::User);
    ASSERT_TRUE(waitFinished());

    EXPECT_EQ(receiver.outcome->kind(), Kind::Silent);
    EXPECT_EQ(receiver.outcome->counts(), (BatchCounts{3, 0, 0, 0}));
    EXPECT_FALSE(parked.at(0).succeed()); // the stopped transfer wakes up too late
    spinEvents(20);
    EXPECT_EQ(receiver.finishedCalls, 1);
    EXPECT_TRUE(receiver.progress.empty());
}

TEST_F(BatchRunnerTest, StopsOutsideABatchReachNoOtherBatch)
{
    runner->requestStop(R::User); // nothing runs yet
    ASSERT_TRUE(runner->start(2, [](BatchCompletion item) { item.succeed(); }));
    ASSERT_TRUE(waitFinished());
    EXPECT_EQ(receiver.outcome->kind(), Kind::Summary);

    runner->requestStop(R::Background); // after the end
    EXPECT_EQ(runner->stopReason(), R::None);
    receiver.outcome.reset();
    ASSERT_TRUE(runner->start(2, [](BatchCompletion item) { item.succeed(); }));
    ASSERT_TRUE(waitFinished());
    EXPECT_EQ(receiver.outcome->counts(), (BatchCounts{2, 2, 2, 0}));
}
