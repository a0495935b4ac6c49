// A quit asked before the application can act on it: a termination signal
// already waiting when the program starts (its launcher blocked it), so it
// lands at the launch's very first step, before the application object, the
// window or the crash conversion exist.

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <unistd.h>

TEST(EarlyQuit, ATerminationSignalBeforeTheLaunchCanHandleItEndsItWithStatusZero)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_PICTURES_DIR"})
        env.insert(name, dir.path() + "/xdg");

    for (const int sig : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(sig);
        const QString home = dir.path() + "/home" + QString::number(sig);
        QProcess app;
        app.setProcessEnvironment(env);
        // Blocked and sent before the program runs: it waits, pending, for
        // the program to take it.
        app.setChildProcessModifier([sig] {
            sigset_t blocked;
            sigemptyset(&blocked);
            sigaddset(&blocked, SIGTERM);
            sigaddset(&blocked, SIGINT);
            sigaddset(&blocked, SIGHUP);
            sigprocmask(SIG_BLOCK, &blocked, nullptr);
            ::kill(::getpid(), sig);
        });
        app.start(PAV_APP_BIN,
                  {"--home", home, "--library", dir.path() + "/library", "--disk-root", dir.path() + "/disk"});
        ASSERT_TRUE(app.waitForStarted(10000));
        const bool ended = app.waitForFinished(60000);
        if (!ended)
            app.kill();
        ASSERT_TRUE(ended) << "the signal never ended the application";
        EXPECT_EQ(app.exitStatus(), QProcess::NormalExit) << app.readAllStandardError().toStdString();
        EXPECT_EQ(app.exitCode(), 0);
        // The quit is no crash.
        EXPECT_TRUE(QDir(home + "/Documents").entryList({"crash_*"}, QDir::Files).isEmpty());
    }
}
