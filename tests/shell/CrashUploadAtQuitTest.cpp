// The application quit while its launch converts crashes left by earlier
// runs, with an upload address set, as a user ends it on a machine with
// large crash reports behind.

#include "support/ChildProcess.h"
#include "support/LoopbackEnvelope.h"
#include "support/LoopbackHttpServer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

namespace {

constexpr int kLeftovers = 6;
constexpr qint64 kReportBytes = qint64(16) << 20;

int factsLeft(const QString& home)
{
    return int(QDir(home + "/Documents").entryList({"crash_*.facts*"}, QDir::Files).size());
}

}

// Each round quits at another moment of the conversion: once one, two,
// three, four and five of the six crashes are stored. Every quit ends with
// status 0: no upload starts after it, and nothing is left running for the
// exit handlers.
TEST(CrashUploadAtQuit, AQuitDuringTheLaunchsCrashConversionEndsWithStatusZero)
{
    QTemporaryDir dir;
    const QString base = dir.path();
    const QString leftovers = base + "/leftovers";
    for (int i = 0; i < kLeftovers; ++i) {
        // Crashes right after the writer is armed: nothing converts them.
        const ChildResult crash =
            ChildProcess::run("crash_records_child", {"--home", leftovers, "segv-first-launch"}, 20000);
        ASSERT_TRUE(crash.signaled) << i;
    }
    const QDir documents(leftovers + "/Documents");
    const QStringList reports = documents.entryList({"crash_*.log"}, QDir::Files);
    ASSERT_EQ(reports.size(), kLeftovers);
    for (const QString& report : reports)
        ASSERT_TRUE(QFile::resize(documents.filePath(report), kReportBytes));

    LoopbackHttpServer server;
    server.setDefaultStep(LoopbackHttpServer::answer(LoopbackEnvelope::reply(0)));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_PICTURES_DIR"})
        env.insert(name, base + "/xdg");

    for (int round = 1; round < kLeftovers; ++round) {
        SCOPED_TRACE(round);
        const QString home = base + "/home" + QString::number(round);
        ASSERT_EQ(QProcess::execute("cp", {"-a", "--sparse=always", leftovers, home}), 0);
        QProcess app;
        app.setProcessEnvironment(env);
        app.start(PAV_APP_BIN, {"--home", home, "--library", base + "/library", "--disk-root", base + "/disk",
                                "--analytics-url", server.url()});
        ASSERT_TRUE(app.waitForStarted(10000));
        QElapsedTimer since;
        since.start();
        while (factsLeft(home) > kLeftovers - round && app.state() == QProcess::Running && since.elapsed() < 60000)
            QThread::msleep(2);
        ::kill(pid_t(app.processId()), SIGTERM);
        const bool ended = app.waitForFinished(60000);
        if (!ended)
            app.kill();
        ASSERT_TRUE(ended) << "the application did not end after SIGTERM";
        EXPECT_EQ(app.exitStatus(), QProcess::NormalExit) << app.readAllStandardError().toStdString();
        EXPECT_EQ(app.exitCode(), 0);
    }
    server.release();
}
