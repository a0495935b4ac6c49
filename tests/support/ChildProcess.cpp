#include "support/ChildProcess.h"

#include <QFile>
#include <QTemporaryFile>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

ChildResult ChildProcess::run(const QString& program, const QStringList& args, int timeoutMs,
                              const QStringList& env, Stdout mode)
{
    ChildResult result;
    QByteArray path = QByteArray(PAV_TEST_BIN_DIR) + "/" + program.toUtf8();
    std::vector<QByteArray> argStore{path};
    for (const QString& a : args)
        argStore.push_back(a.toUtf8());
    std::vector<char*> argv;
    for (QByteArray& a : argStore)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    std::vector<QByteArray> envStore;
    for (char** e = environ; *e; ++e)
        envStore.emplace_back(*e);
    for (const QString& e : env)
        envStore.push_back(e.toUtf8());
    std::vector<char*> envp;
    for (QByteArray& e : envStore)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    int fds[2] = {-1, -1};
    QTemporaryFile outFile;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (mode == Stdout::Pipe) {
        if (pipe2(fds, O_CLOEXEC) != 0)
            return result;
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    } else {
        outFile.open();
        posix_spawn_file_actions_addopen(&actions, 1, QFile::encodeName(outFile.fileName()).constData(),
                                         O_WRONLY | O_TRUNC, 0600);
    }
    pid_t pid = 0;
    int rc = posix_spawn(&pid, path.constData(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (fds[1] >= 0)
        close(fds[1]);
    if (rc != 0) {
        if (fds[0] >= 0)
            close(fds[0]);
        return result;
    }
    result.pid = int(pid);

    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    int status = 0;
    for (;;) {
        if (fds[0] >= 0) {
            pollfd p{fds[0], POLLIN, 0};
            if (poll(&p, 1, 5) > 0) {
                char buf[4096];
                ssize_t n = read(fds[0], buf, sizeof buf);
                if (n > 0)
                    result.output.append(buf, n);
            }
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        if (waitpid(pid, &status, WNOHANG) == pid)
            break;
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            result.hung = true;
            break;
        }
    }
    if (fds[0] >= 0) {
        char buf[4096];
        ssize_t n;
        while ((n = read(fds[0], buf, sizeof buf)) > 0)
            result.output.append(buf, n);
        close(fds[0]);
    } else {
        QFile f(outFile.fileName());
        if (f.open(QIODevice::ReadOnly))
            result.output = f.readAll();
    }
    if (!result.hung) {
        result.signaled = WIFSIGNALED(status);
        result.signal = result.signaled ? WTERMSIG(status) : 0;
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return result;
}
