// The application's launch as main() runs it, against the given flags; once
// it has run for a second, every thread of the process reports whether it
// has an alternate signal stack: one line "<name> yes|no" per thread.
//   launch_threads_child --home DIR --library DIR --disk-root DIR
#include "crashhandler/ThreadList.h"
#include "shell/AppLaunch.h"

#include <QApplication>
#include <QFile>
#include <QTimer>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

std::atomic<int> g_answer{0};   // 0 none yet, 1 has one, 2 has none

void onAsk(int)
{
    stack_t stack{};
    sigaltstack(nullptr, &stack);
    g_answer.store(stack.ss_flags & SS_DISABLE ? 2 : 1);
}

void reportThreads()
{
    struct sigaction sa{};
    sa.sa_handler = &onAsk;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGRTMIN + 6, &sa, nullptr);
    static ThreadList threads;
    threads.collect();
    for (int i = 0; i < threads.count(); ++i) {
        const int tid = threads.tid(i);
        QFile comm(QString("/proc/self/task/%1/comm").arg(tid));
        const QByteArray name = comm.open(QIODevice::ReadOnly) ? comm.readAll().trimmed() : QByteArray("?");
        g_answer.store(0);
        syscall(SYS_tgkill, getpid(), tid, SIGRTMIN + 6);
        for (int waited = 0; waited < 1000 && g_answer.load() == 0; ++waited)
            usleep(1000);
        const int answer = g_answer.load();
        std::printf("%s %s\n", name.constData(), answer == 1 ? "yes" : answer == 2 ? "no" : "silent");
    }
    std::fflush(stdout);
}

}

int main(int argc, char** argv)
{
    AppLaunch launch(argc, argv);
    if (const std::optional<int> status = launch.launch())
        return *status;
    QTimer::singleShot(1000, [] {
        reportThreads();
        _exit(0);
    });
    return QApplication::exec();
}
