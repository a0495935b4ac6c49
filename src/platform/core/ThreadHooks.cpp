#include "platform/core/ThreadHooks.h"

#include <atomic>
#include <pthread.h>

namespace ThreadHooks {

namespace {
std::atomic<StartHook> g_hook{nullptr};
}

void setStartHook(StartHook hook) { g_hook.store(hook); }

void threadStarted(const std::string& name)
{
    if (StartHook hook = g_hook.load())
        hook();
    if (!name.empty())
        pthread_setname_np(pthread_self(), name.substr(0, 15).c_str());
}

}
