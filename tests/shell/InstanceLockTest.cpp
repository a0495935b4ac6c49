#include "shell/InstanceLock.h"
#include "support/ImageFixtures.h"

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <unistd.h>

namespace {

// The application itself, on a home, library and disk store of a temporary folder.
QProcess* startApp(const QString& base, QObject* parent = nullptr)
{
    auto* app = new QProcess(parent);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_PICTURES_DIR"})
        env.insert(name, base + "/xdg");
    app->setProcessEnvironment(env);
    app->start(PAV_APP_BIN, {"--home", base + "/home", "--library", base + "/library", "--disk-root", base + "/disk"});
    return app;
}

}

TEST(InstanceLock, OneHolderPerHomeAndTheLockGoesWithItsHolder)
{
    QTemporaryDir dir;
    const QString home = dir.path() + "/home";
    auto first = std::make_unique<InstanceLock>(home);
    ASSERT_TRUE(first->isHeld());
    EXPECT_TRUE(first->refusal().isEmpty());
    EXPECT_EQ(ImageFixtures::readFile(home + "/.padolvo.lock").trimmed(), QByteArray::number(qint64(::getpid())));

    InstanceLock second(home);
    EXPECT_FALSE(second.isHeld());
    EXPECT_TRUE(second.refusal().contains("already running")) << second.refusal().toStdString();
    InstanceLock elsewhere(dir.path() + "/other");
    EXPECT_TRUE(elsewhere.isHeld());

    first.reset();
    EXPECT_TRUE(InstanceLock(home).isHeld());
}

TEST(InstanceLock, ASecondStartOnTheSameHomeSaysSoAndExits)
{
    QTemporaryDir dir;
    const QString base = dir.path();
    std::unique_ptr<QProcess> first(startApp(base));
    ASSERT_TRUE(first->waitForStarted(10000));
    // The first one holds the lock once its id is in the lock file.
    const QByteArray pid = QByteArray::number(first->processId());
    for (int i = 0; i < 1200 && ImageFixtures::readFile(base + "/home/.padolvo.lock").trimmed() != pid; ++i)
        QThread::msleep(50);
    ASSERT_EQ(ImageFixtures::readFile(base + "/home/.padolvo.lock").trimmed(), pid);
    ASSERT_EQ(first->state(), QProcess::Running);

    std::unique_ptr<QProcess> second(startApp(base));
    ASSERT_TRUE(second->waitForFinished(30000));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_NE(second->exitCode(), 0);
    const QString said = QString::fromLocal8Bit(second->readAllStandardError());
    EXPECT_TRUE(said.contains("another padolvo is already running with the home folder " + base + "/home"))
        << said.toStdString();
    // The first one goes on, still holding the home.
    EXPECT_EQ(first->state(), QProcess::Running);
    EXPECT_FALSE(InstanceLock(base + "/home").isHeld());

    // However the holder ends, the home is free again.
    ::kill(pid_t(first->processId()), SIGKILL);
    ASSERT_TRUE(first->waitForFinished(10000));
    EXPECT_TRUE(InstanceLock(base + "/home").isHeld());
}
