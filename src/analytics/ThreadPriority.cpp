#include "analytics/ThreadPriority.h"

#include "platform/core/ThreadHooks.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>

namespace ThreadPriority {

namespace {
constexpr int kLowestNice = 19;
}

int niceIncrementFor(double priority)
{
    const double below = 0.5 - std::clamp(priority, 0.0, 1.0);
    return below <= 0 ? 0 : int(std::lround(below / 0.5 * kLowestNice));
}

int currentNice()
{
    // On Linux PRIO_PROCESS with a thread id names that one thread.
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, id_t(gettid()));
    return errno == 0 ? nice : 0;
}

void runAt(double priority, const std::string& name, const std::function<void()>& work)
{
    const int increment = niceIncrementFor(priority);
    if (increment == 0) {
        work();
        return;
    }
    ThreadHooks::start(name, [increment, &work] {
        // Lowering always succeeds; should it not, the work still runs.
        setpriority(PRIO_PROCESS, id_t(gettid()), std::min(kLowestNice, currentNice() + increment));
        work();
    }).join();
}

}
