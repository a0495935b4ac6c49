#include "crashhandler/AltStack.h"

#include <atomic>
#include <csignal>
#include <thread>

#include <gtest/gtest.h>

TEST(AltStack, EachThreadGetsItsOwnAndAnExistingOneIsKept)
{
    std::thread([] {
        EXPECT_TRUE(AltStack::ensureForCurrentThread());
        stack_t first{};
        sigaltstack(nullptr, &first);
        EXPECT_FALSE(first.ss_flags & SS_DISABLE);
        EXPECT_GE(first.ss_size, 65536u);
        EXPECT_FALSE(AltStack::ensureForCurrentThread());
        stack_t again{};
        sigaltstack(nullptr, &again);
        EXPECT_EQ(again.ss_sp, first.ss_sp);
    }).join();

    std::thread([] {
        static char own[65536];
        stack_t mine{};
        mine.ss_sp = own;
        mine.ss_size = sizeof own;
        ASSERT_EQ(sigaltstack(&mine, nullptr), 0);
        EXPECT_FALSE(AltStack::ensureForCurrentThread());
        stack_t now{};
        sigaltstack(nullptr, &now);
        EXPECT_EQ(now.ss_sp, static_cast<void*>(own));
        stack_t off{};
        off.ss_flags = SS_DISABLE;
        sigaltstack(&off, nullptr);
    }).join();
}

// Threads started before the writer was armed (plain threads, no start hook)
// are given a stack when asked.
TEST(AltStack, ThreadsAlreadyRunningAreGivenOne)
{
    std::atomic<int> stage{0};
    std::atomic<bool> had{false};
    std::thread plain([&] {
        stage = 1;
        while (stage.load() != 2)
            std::this_thread::yield();
        had = AltStack::currentThreadHasOne();
        stage = 3;
    });
    while (stage.load() != 1)
        std::this_thread::yield();
    EXPECT_GE(AltStack::adoptRunningThreads(), 1);
    stage = 2;
    while (stage.load() != 3)
        std::this_thread::yield();
    plain.join();
    EXPECT_TRUE(had.load());
    // Asked again, no thread takes a second one.
    EXPECT_EQ(AltStack::adoptRunningThreads(), 0);
}
