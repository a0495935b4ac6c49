#include "crashhandler/ThreadStartStacks.h"

#include "crashhandler/AltStack.h"

#include <atomic>
#include <dlfcn.h>
#include <pthread.h>

namespace {

using Create = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);

std::atomic<bool> g_enabled{false};

// Under a sanitizer its runtime intercepts pthread_create to register the new
// thread (its shadow stack, its leak roots); binding to the versioned libc
// symbol would go past that interceptor, so the next definition in lookup
// order comes first there.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define PAV_UNDER_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer) \
    || __has_feature(leak_sanitizer)
#define PAV_UNDER_SANITIZER 1
#endif
#endif
#ifndef PAV_UNDER_SANITIZER
#define PAV_UNDER_SANITIZER 0
#endif

Create realCreate()
{
    static const Create real = [] {
        void* found = PAV_UNDER_SANITIZER ? dlsym(RTLD_NEXT, "pthread_create") : nullptr;
        if (!found)
            found = dlvsym(RTLD_NEXT, "pthread_create", "GLIBC_2.34");
        if (!found)
            found = dlvsym(RTLD_NEXT, "pthread_create", "GLIBC_2.2.5");
        if (!found)
            found = dlsym(RTLD_NEXT, "pthread_create");
        return reinterpret_cast<Create>(found);
    }();
    return real;
}

struct Start {
    void* (*routine)(void*);
    void* arg;
};

void* startWithStack(void* raw)
{
    const Start start = *static_cast<Start*>(raw);
    delete static_cast<Start*>(raw);
    AltStack::ensureForCurrentThread();
    return start.routine(start.arg);
}

}

namespace ThreadStartStacks {

void enable()
{
    realCreate();
    g_enabled.store(true);
}

bool enabled()
{
    return g_enabled.load();
}

}

extern "C" int pthread_create(pthread_t* thread, const pthread_attr_t* attr, void* (*routine)(void*), void* arg)
{
    const Create real = realCreate();
    if (!g_enabled.load())
        return real(thread, attr, routine, arg);
    auto* start = new Start{routine, arg};
    const int rc = real(thread, attr, &startWithStack, start);
    if (rc != 0)
        delete start;
    return rc;
}
