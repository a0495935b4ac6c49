#include "platform/sys/IdleTimer.h"
#include "support/FakeIdleInhibit.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

TEST(IdleTimer, OverlappingHoldsInhibitOnceUntilTheLastGoes)
{
    auto backend = std::make_unique<FakeIdleInhibit>();
    auto record = backend->record();
    IdleTimer timer(std::move(backend));

    IdleTimerHold first = timer.hold();
    {
        IdleTimerHold second = timer.hold();
        EXPECT_EQ(timer.holdCount(), 2);
        IdleTimerHold moved = std::move(second);
        EXPECT_FALSE(second.isActive());
        EXPECT_EQ(timer.holdCount(), 2);
    }
    EXPECT_TRUE(record->inhibited);
    first.release();
    first.release(); // a second release gives nothing back twice
    EXPECT_FALSE(record->inhibited);
    EXPECT_EQ(timer.holdCount(), 0);
    EXPECT_EQ(record->changes, 2);

    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i)
        threads.emplace_back([&] {
            for (int n = 0; n < 500; ++n)
                IdleTimerHold hold = timer.hold();
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(timer.holdCount(), 0);
    EXPECT_FALSE(record->inhibited);
    EXPECT_EQ(record->changes % 2, 0);
}
