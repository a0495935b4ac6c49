#include "crashhandler/ImageTable.h"
#include "crashhandler/ThreadList.h"
#include "crashhandler/ThreadSampler.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <thread>

#include <gtest/gtest.h>

namespace {

ImageTable g_noImages;

}

// The sampled thread may be anywhere, between a failed call and its errno
// check too: the answer it gives leaves its errno as it was, even when the
// asker never releases it and its wait runs out.
TEST(ThreadSampler, AnAnswerLeavesTheThreadsErrnoAlone)
{
    ThreadSampler::install(SIGRTMIN + 3);
    std::atomic<int> workerTid{0};
    std::atomic<bool> go{false};
    int errnoAfter = 0;
    std::thread worker([&] {
        errno = EDOM;
        workerTid = ThreadList::currentTid();
        while (!go.load())
            ;
        errnoAfter = errno;
    });
    while (workerTid.load() == 0)
        std::this_thread::yield();

    static ThreadList threads;
    ASSERT_TRUE(threads.collect());
    const int index = threads.indexOf(workerTid.load());
    ASSERT_GE(index, 0);
    ThreadSampler::askAll(threads, ThreadList::currentTid(), g_noImages, true);
    ThreadSampler::collect();
    const uintptr_t* frames = nullptr;
    EXPECT_GE(ThreadSampler::frames(index, &frames), 0);
    go = true;
    worker.join();
    ThreadSampler::releaseAll();
    EXPECT_EQ(errnoAfter, EDOM);
}
