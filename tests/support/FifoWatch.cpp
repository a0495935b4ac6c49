#include "support/FifoWatch.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Opening for writing lets a reader waiting in open() through; closing again
// gives its read the end.
void release(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0)
        ::close(fd);
}
}

FifoWatch::FifoWatch(QStringList fifos, int graceMs) : m_fifos(std::move(fifos))
{
    m_thread = std::thread([this, graceMs] {
        std::unique_lock lock(m_mutex);
        if (m_wake.wait_for(lock, std::chrono::milliseconds(graceMs), [this] { return m_ended; }))
            return;
        m_fired = true;
        while (!m_wake.wait_for(lock, std::chrono::milliseconds(20), [this] { return m_ended; }))
            for (const QString& fifo : m_fifos)
                release(fifo);
    });
}

FifoWatch::~FifoWatch()
{
    {
        std::lock_guard lock(m_mutex);
        m_ended = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

bool FifoWatch::make(const QString& path)
{
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}
