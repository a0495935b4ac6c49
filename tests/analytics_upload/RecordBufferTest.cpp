#include "AnalyticsTestSupport.h"

#include "analytics/buffer/AnaDataPersistQueue.h"
#include "analytics/buffer/AnaLocalDataRecordInterface.h"
#include "analytics/buffer/AnaPersistListener.h"
#include "support/EventLoop.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

struct CountingListener : AnaPersistListener {
    std::atomic<int> notices{0};
    void onPersist() override { ++notices; }
};

}

TEST(RecordQueue, HeadRecordsPushOutTheLastTailRecordWhenFull)
{
    AnaDataPersistQueue queue;
    for (int i = 0; i < 10; ++i)
        queue.addObject(TextRecord::make("head" + QByteArray::number(i), 0));
    for (int i = 0; i < 10; ++i)
        queue.addObject(TextRecord::make("tail" + QByteArray::number(i), 2));
    EXPECT_EQ(queue.getCurrSize(), 20);
    EXPECT_EQ(queue.currSize(), 20);
    EXPECT_EQ(queue.maxSize(), 20);
    queue.addObject(TextRecord::make("late tail", 3));
    queue.addObject(TextRecord::make("odd", 5));
    EXPECT_EQ(queue.tailList().size(), 10u);
    queue.addObject(TextRecord::make("urgent", 1));
    EXPECT_EQ(queue.headList().size(), 11u);
    EXPECT_EQ(queue.tailList().size(), 9u);
    EXPECT_EQ(queue.getCurrSize(), 20);
    auto text = [](const AnalyticsPersistObject& r) { return QString::fromUtf8(static_cast<const TextRecord&>(r).text); };
    EXPECT_EQ(text(*queue.headList().back()), QString("urgent"));
    EXPECT_EQ(text(*queue.tailList().back()), QString("tail8"));
    EXPECT_EQ(queue.findObjBySelector(text, "tail9"), nullptr);
    EXPECT_NE(queue.findObjBySelector(text, "urgent"), nullptr);

    queue.setMaxSize(30);
    EXPECT_EQ(queue.headList().size(), 11u);
    EXPECT_EQ(queue.tailList().size(), 9u);
    EXPECT_EQ(queue.getCurrSize(), 20);
    const auto all = queue.fetchAllObjectsAndClean();
    EXPECT_EQ(all.size(), 20u);
    EXPECT_EQ(static_cast<TextRecord&>(*all.front()).text, QByteArray("head0"));
    EXPECT_EQ(queue.getCurrSize(), 0);
}

TEST(RecordBuffer, FullQueueFlushesAtOnceEvenBeforeTheThreadWaits)
{
    FacadeFixture f;
    CountingListener listener;
    AnaLocalDataRecordInterface buffer(&f.store, f.facade.get());
    buffer.setPersistListener(&listener);
    buffer.setMaxTriggerTime(3600);
    for (int i = 0; i < 20; ++i)
        buffer.saveObject(TextRecord::make("r" + QByteArray::number(i), 1));
    ASSERT_TRUE(waitUntil([&] { return listener.notices.load() == 1; }, 5000));
    EXPECT_EQ(f.store.getObjectCountOfType(TextRecord::kType, nullptr), 20);
    EXPECT_EQ(buffer.hasBufferData(), 0);

    // Again: the flag of the last flush does not swallow the next notice.
    for (int i = 0; i < 20; ++i)
        buffer.saveObject(TextRecord::make("s" + QByteArray::number(i), 1));
    ASSERT_TRUE(waitUntil([&] { return listener.notices.load() == 2; }, 5000));
    EXPECT_EQ(f.store.getObjectCountOfType(TextRecord::kType, nullptr), 40);
}

TEST(RecordBuffer, TimerFlushesAFewRecordsAndShrinkingTheLimitFlushes)
{
    FacadeFixture f;
    CountingListener listener;
    AnaLocalDataRecordInterface buffer(&f.store, f.facade.get());
    buffer.setPersistListener(&listener);
    buffer.setMaxTriggerTimeMs(50);
    buffer.saveObject(TextRecord::make("one", 2));
    EXPECT_TRUE(buffer.timerArmed());
    ASSERT_TRUE(waitUntil([&] { return listener.notices.load() == 1; }, 5000));
    EXPECT_EQ(f.store.getObjectCountOfType(TextRecord::kType, nullptr), 1);

    buffer.setMaxTriggerTime(3600);
    for (int i = 0; i < 5; ++i)
        buffer.saveObject(TextRecord::make("few", 0));
    buffer.setMaxSize(4);
    ASSERT_TRUE(waitUntil([&] { return listener.notices.load() == 2; }, 5000));
    EXPECT_EQ(f.store.getObjectCountOfType(TextRecord::kType, nullptr), 6);
}

TEST(RecordBuffer, AFullStoreDropsTheRecordsButStillTellsTheListener)
{
    FacadeFixture f;
    AnaSqlitePersistHandler::Records many;
    for (int i = 0; i < 200; ++i)
        many.push_back(TextRecord::make("x", 1));
    ASSERT_TRUE(f.store.executeUpdateSQL("begin", nullptr));
    ASSERT_TRUE(f.store.saveObjects(many, nullptr));
    ASSERT_TRUE(f.store.executeUpdateSQL("commit", nullptr));
    CountingListener listener;
    AnaLocalDataRecordInterface buffer(&f.store, f.facade.get());
    buffer.setPersistListener(&listener);
    buffer.setMaxSize(2);
    buffer.saveObject(TextRecord::make("a", 1));
    buffer.saveObject(TextRecord::make("b", 1));
    ASSERT_TRUE(waitUntil([&] { return listener.notices.load() == 1; }, 5000));
    EXPECT_EQ(f.store.getObjectCount(nullptr), 200);
}
