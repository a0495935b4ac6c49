#include "platform/media/DecodeMemoryBudget.h"
#include "support/EventLoop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>

using namespace std::chrono_literals;

namespace {

// A reservation asked for on another thread, whose answer is whether it was
// granted; it is held until `letGo` is set.
std::future<bool> reserveAside(DecodeMemoryBudget& budget, qint64 bytes, const std::atomic<bool>& letGo,
                               const std::atomic<bool>* stop = nullptr)
{
    return std::async(std::launch::async, [&budget, bytes, &letGo, stop] {
        const DecodeMemoryBudget::StopCheck check(stop ? std::function<bool()>([stop] { return stop->load(); })
                                                       : std::function<bool()>());
        const DecodeMemoryBudget::Reservation held = budget.reserve(bytes);
        const bool granted = bool(held);
        while (granted && !letGo)
            std::this_thread::yield();
        return granted;
    });
}

bool answered(std::future<bool>& f) { return f.wait_for(0ms) == std::future_status::ready; }

}

TEST(DecodeMemoryBudget, GrantsWhatFitsRefusesWhatNeverCanAndTakesBackWhatIsReleased)
{
    DecodeMemoryBudget budget(100);
    DecodeMemoryBudget::Reservation first = budget.reserve(60);
    ASSERT_TRUE(first);
    EXPECT_EQ(budget.reserved(), 60);
    // More than the whole budget is refused at once, never waited for.
    EXPECT_FALSE(budget.reserve(101));
    EXPECT_EQ(budget.waiting(), 0);

    // Moved, it is still held once; released, it is all back.
    DecodeMemoryBudget::Reservation moved = std::move(first);
    EXPECT_FALSE(first);
    EXPECT_EQ(budget.reserved(), 60);
    DecodeMemoryBudget::Reservation second = budget.reserve(40);
    EXPECT_TRUE(second);
    EXPECT_EQ(budget.reserved(), 100);
    moved = {};
    second = {};
    EXPECT_EQ(budget.reserved(), 0);
    // The whole budget fits one decode.
    EXPECT_TRUE(budget.reserve(100));
}

TEST(DecodeMemoryBudget, ADecodeThatDoesNotFitWaitsAndLaterOnesWaitBehindIt)
{
    DecodeMemoryBudget budget(100);
    DecodeMemoryBudget::Reservation held = budget.reserve(50);
    std::atomic<bool> letGo{false};
    std::future<bool> large = reserveAside(budget, 80, letGo);
    ASSERT_TRUE(waitUntil([&] { return budget.waiting() == 1; }));
    // This one would fit beside what is held, but the large one came first.
    std::future<bool> small = reserveAside(budget, 30, letGo);
    ASSERT_TRUE(waitUntil([&] { return budget.waiting() == 2; }));
    EXPECT_FALSE(answered(large));
    EXPECT_FALSE(answered(small));

    held = {};
    ASSERT_TRUE(waitUntil([&] { return budget.reserved() == 80 && budget.waiting() == 1; }));
    EXPECT_FALSE(answered(small));   // 80 + 30 does not fit
    letGo = true;
    EXPECT_TRUE(large.get());
    EXPECT_TRUE(small.get());
    EXPECT_EQ(budget.reserved(), 0);
}

TEST(DecodeMemoryBudget, AWaitGivesUpWhenItsThreadIsStoppedAndLetsTheNextOneIn)
{
    DecodeMemoryBudget budget(100);
    DecodeMemoryBudget::Reservation held = budget.reserve(90);
    std::atomic<bool> letGo{true};
    std::atomic<bool> stop{false};
    std::future<bool> stopped = reserveAside(budget, 50, letGo, &stop);
    ASSERT_TRUE(waitUntil([&] { return budget.waiting() == 1; }));
    std::future<bool> next = reserveAside(budget, 10, letGo);
    ASSERT_TRUE(waitUntil([&] { return budget.waiting() == 2; }));

    stop = true;
    ASSERT_EQ(stopped.wait_for(30s), std::future_status::ready);
    EXPECT_FALSE(stopped.get());
    // The one behind it fits beside what is held, and goes on.
    ASSERT_EQ(next.wait_for(30s), std::future_status::ready);
    EXPECT_TRUE(next.get());
    EXPECT_EQ(budget.reserved(), 90);
    EXPECT_EQ(budget.waiting(), 0);
}
