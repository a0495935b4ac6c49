#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Runs a helper program from PAV_TEST_BIN_DIR as a child process (posix_spawn,
// so it is safe from a multithreaded test) and waits for it with a time
// limit; a child still running then is killed and reported as hung.
struct ChildResult {
    bool hung = false;
    bool signaled = false;
    int signal = 0;
    int exitCode = -1;
    int pid = 0;         // the child's process id (it has been waited for)
    QByteArray output;   // its standard output
};

class ChildProcess {
public:
    enum class Stdout { Pipe, File };

    static ChildResult run(const QString& program, const QStringList& args, int timeoutMs = 10000,
                           const QStringList& env = {}, Stdout mode = Stdout::Pipe);
};
