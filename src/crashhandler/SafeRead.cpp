#include "crashhandler/SafeRead.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/uio.h>
#include <unistd.h>

namespace {

std::atomic<int> g_pipe[2] = {-1, -1};
std::atomic<bool> g_vmReadvWorks{true};
std::atomic<pid_t> g_pid{0};

pid_t processId()
{
    const pid_t pid = g_pid.load(std::memory_order_relaxed);
    return pid ? pid : getpid();
}

// Fallback when process_vm_readv is blocked: the kernel copies from the
// address into a pipe and reports EFAULT for a bad one.
bool readThroughPipe(uintptr_t address, void* out, std::size_t size)
{
    int rd = g_pipe[0].load(), wr = g_pipe[1].load();
    if (rd < 0 || wr < 0)
        return false;
    auto* dst = static_cast<char*>(out);
    while (size > 0) {
        std::size_t chunk = size > 4096 ? 4096 : size;
        ssize_t w = ::write(wr, reinterpret_cast<const void*>(address), chunk);
        if (w <= 0)
            return false;
        ssize_t got = 0;
        while (got < w) {
            ssize_t r = ::read(rd, dst + got, std::size_t(w - got));
            if (r <= 0)
                return false;
            got += r;
        }
        dst += w;
        address += std::size_t(w);
        size -= std::size_t(w);
    }
    return true;
}

}

void SafeRead::noteProcess() { g_pid.store(getpid()); }

void SafeRead::prepare()
{
    noteProcess();
    if (g_pipe[0].load() >= 0)
        return;
    int fds[2];
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
        g_pipe[0] = fds[0];
        g_pipe[1] = fds[1];
    }
}

bool SafeRead::read(uintptr_t address, void* out, std::size_t size)
{
    if (size == 0)
        return true;
    if (address == 0)
        return false;
    if (g_vmReadvWorks.load(std::memory_order_relaxed)) {
        iovec local{out, size};
        iovec remote{reinterpret_cast<void*>(address), size};
        ssize_t n = process_vm_readv(processId(), &local, 1, &remote, 1, 0);
        if (n == ssize_t(size))
            return true;
        if (n >= 0 || errno == EFAULT)
            return false;
        g_vmReadvWorks.store(false);   // ENOSYS or EPERM: use the pipe
    }
    return readThroughPipe(address, out, size);
}

int SafeRead::readMany(const Range* ranges, int count, bool* ok)
{
    constexpr int kBatch = 64;
    iovec local[kBatch];
    iovec remote[kBatch];
    int good = 0;
    for (int from = 0; from < count;) {
        if (!g_vmReadvWorks.load(std::memory_order_relaxed)) {
            ok[from] = read(ranges[from].address, ranges[from].out, ranges[from].size);
            good += ok[from] ? 1 : 0;
            ++from;
            continue;
        }
        int n = 0;
        for (; n < kBatch && from + n < count; ++n) {
            local[n] = iovec{ranges[from + n].out, ranges[from + n].size};
            remote[n] = iovec{reinterpret_cast<void*>(ranges[from + n].address), ranges[from + n].size};
        }
        ssize_t got = process_vm_readv(processId(), local, n, remote, n, 0);
        if (got < 0 && errno != EFAULT) {
            g_vmReadvWorks.store(false);   // ENOSYS or EPERM: read one by one through the pipe
            continue;
        }
        // The call stops at the first range it cannot read whole: those
        // before it are good, it is not, and the next call starts after it.
        std::size_t left = got > 0 ? std::size_t(got) : 0;
        int i = 0;
        for (; i < n && left >= ranges[from + i].size && ranges[from + i].address; ++i) {
            left -= ranges[from + i].size;
            ok[from + i] = true;
            ++good;
        }
        if (i < n)
            ok[from + i++] = false;
        from += i;
    }
    return good;
}
