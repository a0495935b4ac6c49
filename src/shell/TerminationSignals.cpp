#include "shell/TerminationSignals.h"

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

namespace {
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
std::atomic<int> g_writeFd{-1};
std::atomic<bool> g_requested{false};
std::atomic<int> g_last{0};

void onSignal(int sig)
{
    const int savedErrno = errno;
    g_last = sig;
    const bool again = g_requested.exchange(true);
    const int fd = g_writeFd.load();
    if (fd < 0 && again) {
        // A second signal before anything reads them (a start stuck on its
        // display, say): the signal's own action, as without a handler.
        std::signal(sig, SIG_DFL);
        std::raise(sig);
    }
    if (fd >= 0) {
        const unsigned char byte = static_cast<unsigned char>(sig);
        ssize_t ignored = ::write(fd, &byte, 1);
        (void)ignored;
    }
    errno = savedErrno;
}

void catchSignals()
{
    sigset_t termination;
    sigemptyset(&termination);
    for (int sig : kSignals) {
        sigaddset(&termination, sig);
        struct sigaction sa{};
        sa.sa_handler = &onSignal;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        sigaction(sig, &sa, nullptr);
    }
    // A launcher may leave them blocked: then they would never end us.
    pthread_sigmask(SIG_UNBLOCK, &termination, nullptr);
}
}

void TerminationSignals::catchEarly()
{
    catchSignals();
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
    catchSignals();
    // A signal caught before this object existed is acted on once the event
    // loop runs, as a later one is.
    if (g_requested.load()) {
        const unsigned char byte = static_cast<unsigned char>(g_last.load());
        ssize_t ignored = ::write(m_fds[1], &byte, 1);
        (void)ignored;
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
