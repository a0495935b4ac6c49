#include "crashhandler/SafeRead.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/uio.h>
#include <unistd.h>

namespace {

std::atomic<int> g_pipe[2] = {-1, -1};
std::atomic<bool> g_vmReadvWorks{true};

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

void SafeRead::prepare()
{
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
        ssize_t n = process_vm_readv(getpid(), &local, 1, &remote, 1, 0);
        if (n == ssize_t(size))
            return true;
        if (n >= 0 || errno == EFAULT)
            return false;
        g_vmReadvWorks.store(false);   // ENOSYS or EPERM: use the pipe
    }
    return readThroughPipe(address, out, size);
}
