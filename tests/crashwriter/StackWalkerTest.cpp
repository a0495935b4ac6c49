#include "crashhandler/SafeRead.h"
#include "crashhandler/StackWalker.h"

#include <cstdint>
#include <sys/mman.h>
#include <ucontext.h>
#include <vector>

#include <gtest/gtest.h>

namespace {

uintptr_t g_returns[3];
std::vector<uintptr_t> g_frames;
bool g_moreAfterFree = true;

__attribute__((noinline)) void level3()
{
    g_returns[0] = uintptr_t(__builtin_return_address(0));
    ucontext_t uc;
    getcontext(&uc);
    StackWalker walker = StackWalker::makeStackWalker(&uc);
    for (uintptr_t pc; walker.nextStackFrame(pc);)
        g_frames.push_back(pc);
    // A freed walker yields nothing more.
    StackWalker again = StackWalker::makeStackWalker(&uc);
    uintptr_t first = 0;
    g_moreAfterFree = !again.nextStackFrame(first);
    StackWalker::freeStackWalker(again);
    g_moreAfterFree = g_moreAfterFree || again.nextStackFrame(first);
    asm volatile("" ::: "memory");
}

__attribute__((noinline)) void level2()
{
    g_returns[1] = uintptr_t(__builtin_return_address(0));
    level3();
    asm volatile("" ::: "memory");
}

__attribute__((noinline)) void level1()
{
    g_returns[2] = uintptr_t(__builtin_return_address(0));
    level2();
    asm volatile("" ::: "memory");
}

int countFrames(uintptr_t pc, uintptr_t fp)
{
    StackWalker walker(pc, fp);
    int n = 0;
    for (uintptr_t frame; walker.nextStackFrame(frame);)
        ++n;
    return n;
}

}

TEST(StackWalker, WalksAKnownChainInOrder)
{
    g_frames.clear();
    level1();
    ASSERT_GE(g_frames.size(), 4u);
    EXPECT_EQ(g_frames[1], g_returns[0]);
    EXPECT_EQ(g_frames[2], g_returns[1]);
    EXPECT_EQ(g_frames[3], g_returns[2]);
    EXPECT_FALSE(g_moreAfterFree);
}

TEST(StackWalker, StopsOnLoopingDescendingOrEndlessChains)
{
    alignas(16) uintptr_t loop[2];
    loop[0] = uintptr_t(&loop[0]);   // saved fp points at itself
    loop[1] = 0x1234;
    EXPECT_EQ(countFrames(0x1, uintptr_t(loop)), 2);

    alignas(16) uintptr_t down[4];
    down[2] = uintptr_t(&down[0]);   // saved fp below the frame
    down[3] = 0x5678;
    down[0] = uintptr_t(&down[2]);
    down[1] = 0x9abc;
    EXPECT_EQ(countFrames(0x1, uintptr_t(&down[2])), 2);

    std::vector<uintptr_t> rising(2 * 600);
    for (std::size_t i = 0; i + 2 < rising.size(); i += 2) {
        rising[i] = uintptr_t(&rising[i + 2]);
        rising[i + 1] = 0x1000 + i;
    }
    EXPECT_EQ(countFrames(0x1, uintptr_t(rising.data())), StackWalker::kMaxFrames);

    EXPECT_EQ(countFrames(0x1, 0x11), 1);   // misaligned
    EXPECT_EQ(countFrames(0x1, 0), 1);
}

TEST(SafeRead, UnmappedAndNullAddressesFailWithoutASignal)
{
    long page = sysconf(_SC_PAGESIZE);
    void* p = mmap(nullptr, std::size_t(page), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(p, MAP_FAILED);
    static_cast<uintptr_t*>(p)[0] = 0xfeed;
    uintptr_t word = 0;
    EXPECT_TRUE(SafeRead::readWord(uintptr_t(p), word));
    EXPECT_EQ(word, 0xfeedu);
    munmap(p, std::size_t(page));
    EXPECT_FALSE(SafeRead::readWord(uintptr_t(p), word));
    EXPECT_FALSE(SafeRead::readWord(0, word));
}

// One batch over good and bad ranges: a bad one fails alone, the ranges
// after it are still read.
TEST(SafeRead, ABatchReadsEveryGoodRangeAroundTheBadOnes)
{
    const std::size_t page = std::size_t(sysconf(_SC_PAGESIZE));
    auto* block = static_cast<char*>(mmap(nullptr, 3 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    ASSERT_NE(block, MAP_FAILED);
    block[0] = 'a';
    block[2 * page] = 'c';
    munmap(block + page, page);   // a hole in the middle
    constexpr int kCount = 100;   // more than one system call's worth
    char out[kCount] = {};
    SafeRead::Range ranges[kCount];
    for (int i = 0; i < kCount; ++i) {
        const std::size_t at = i % 3 == 0 ? 0 : i % 3 == 1 ? page : 2 * page;
        ranges[i] = SafeRead::Range{uintptr_t(block + at), &out[i], 1};
    }
    ranges[kCount - 1].address = 0;
    bool ok[kCount];
    EXPECT_EQ(SafeRead::readMany(ranges, kCount, ok), 66);
    for (int i = 0; i < kCount - 1; ++i) {
        EXPECT_EQ(ok[i], i % 3 != 1) << i;
        if (ok[i]) {
            EXPECT_EQ(out[i], i % 3 == 0 ? 'a' : 'c') << i;
        }
    }
    EXPECT_FALSE(ok[kCount - 1]);
    munmap(block, page);
    munmap(block + 2 * page, page);
}
