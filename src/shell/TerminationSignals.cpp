#include "shell/TerminationSignals.h"

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
std::atomic<int> g_writeFd{-1};
std::atomic<bool> g_requested{false};

void onSignal(int sig)
{
    const int savedErrno = errno;
    g_requested = true;
    const int fd = g_writeFd.load();
    if (fd >= 0) {
        const unsigned char byte = static_cast<unsigned char>(sig);
        ssize_t ignored = ::write(fd, &byte, 1);
        (void)ignored;
    }
    errno = savedErrno;
}
}

TerminationSignals::TerminationSignals(std::function<void()> endRequested, QObject* parent)
    : QObject(parent), m_endRequested(std::move(endRequested))
{
    if (g_writeFd.load() >= 0 || ::pipe2(m_fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        qWarning("Termination signals are not handled: %s", g_writeFd.load() >= 0 ? "already installed" : strerror(errno));
        m_fds[0] = m_fds[1] = -1;
        return;
    }
    g_writeFd = m_fds[1];
    m_notifier = new QSocketNotifier(m_fds[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readSignal);
    for (int sig : kSignals) {
        struct sigaction sa{};
        sa.sa_handler = &onSignal;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        sigaction(sig, &sa, nullptr);
    }
}

TerminationSignals::~TerminationSignals()
{
    if (!m_notifier)
        return;
    for (int sig : kSignals)
        std::signal(sig, SIG_DFL);
    g_writeFd = -1;
    ::close(m_fds[0]);
    ::close(m_fds[1]);
}

bool TerminationSignals::requested()
{
    return g_requested.load();
}

void TerminationSignals::readSignal()
{
    unsigned char byte = 0;
    bool any = false;
    while (::read(m_fds[0], &byte, 1) == 1) {
        m_received = byte;
        any = true;
    }
    if (!any)
        return;
    if (m_endRequested)
        m_endRequested();
}
