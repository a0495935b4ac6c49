#include "crashhandler/ThreadList.h"

#include <cstdint>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

struct Dirent64 {
    uint64_t d_ino;
    int64_t d_off;
    unsigned short d_reclen;
    unsigned char d_type;
    char d_name[1];
};

}

int ThreadList::currentTid() { return int(syscall(SYS_gettid)); }

bool ThreadList::collect()
{
    m_count = 0;
    int fd = ::open("/proc/self/task", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    for (;;) {
        long n = syscall(SYS_getdents64, fd, m_dirents, sizeof m_dirents);
        if (n <= 0)
            break;
        for (long at = 0; at < n;) {
            const auto* d = reinterpret_cast<const Dirent64*>(m_dirents + at);
            at += d->d_reclen;
            int tid = 0;
            const char* p = d->d_name;
            if (*p < '0' || *p > '9')
                continue;
            while (*p >= '0' && *p <= '9')
                tid = tid * 10 + (*p++ - '0');
            if (m_count >= kMaxThreads)
                continue;
            // Insertion keeps the ids ascending.
            int i = m_count++;
            while (i > 0 && m_tids[i - 1] > tid) {
                m_tids[i] = m_tids[i - 1];
                --i;
            }
            m_tids[i] = tid;
        }
    }
    ::close(fd);
    return m_count > 0;
}

int ThreadList::indexOf(int tid) const
{
    for (int i = 0; i < m_count; ++i) {
        if (m_tids[i] == tid)
            return i;
    }
    return -1;
}
