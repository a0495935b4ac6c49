#include "crashhandler/AltStack.h"

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
