// The application started as a child process over a home whose preferences
// file is not a file the program wrote: a link to an endless device, or a
// pipe nobody writes to. The launch must go on and a SIGTERM still end it.

#include "support/AddressSpaceCap.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <sys/stat.h>

namespace {

class PlantedPreferencesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        for (const QString& folder : {preferences(), library(), diskRoot()})
            ASSERT_TRUE(QDir().mkpath(folder));
    }
    void TearDown() override
    {
        if (m_child.state() != QProcess::NotRunning) {
            m_child.kill();
            m_child.waitForFinished(60000);
        }
    }

    QString home() const { return m_dir.path() + "/home"; }
    QString preferences() const { return home() + "/Library/Preferences"; }
    QString defaults() const { return preferences() + "/defaults.json"; }
    QString library() const { return m_dir.path() + "/Pictures"; }
    QString diskRoot() const { return m_dir.path() + "/disk"; }

    // The application; limited, under an address-space limit of about 3 GB
    // as a machine short of memory has it.
    void start(bool limited)
    {
        const QString program = PAV_TEST_BIN_DIR "/launch_child";
        const QString limit = limited ? "ulimit -v 3000000 && " : "";
        m_child.start("/bin/sh", {"-c", limit + "exec \"$0\" \"$@\"", program, "--home", home(), "--library",
                                  library(), "--disk-root", diskRoot()});
        ASSERT_TRUE(m_child.waitForStarted(10000));
    }
    // Whether the child printed a line starting with prefix within a minute.
    bool saidWithinAMinute(const QByteArray& prefix)
    {
        const QDeadlineTimer deadline(60000);
        while (!deadline.hasExpired()) {
            while (m_child.canReadLine()) {
                const QByteArray line = m_child.readLine().trimmed();
                m_lines << line;
                if (line.startsWith(prefix))
                    return true;
            }
            if (m_child.state() != QProcess::Running)
                return false;
            m_child.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime())));
        }
        return false;
    }
    // Sends SIGTERM and checks that the program ended through its own exit.
    void terminateAndExpectACleanExit()
    {
        ::kill(pid_t(m_child.processId()), SIGTERM);
        ASSERT_TRUE(m_child.waitForFinished(60000)) << log();
        m_lines << m_child.readAllStandardOutput().split('\n');
        EXPECT_EQ(m_child.exitStatus(), QProcess::NormalExit) << log();
        EXPECT_EQ(m_child.exitCode(), 0) << log();
        EXPECT_TRUE(m_lines.contains("exit 0")) << log();
    }
    std::string log()
    {
        return (m_lines.join('\n') + "\n" + m_child.readAllStandardError()).toStdString();
    }
    mode_t typeOf(const QString& path) const
    {
        struct stat info {};
        return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & S_IFMT : 0;
    }

    QTemporaryDir m_dir;
    QProcess m_child;
    QByteArrayList m_lines;
};

TEST_F(PlantedPreferencesTest, ALinkToAnEndlessDeviceIsNotReadAndTheLaunchGoesOn)
{
    if (!AddressSpaceCap::supported())
        GTEST_SKIP() << "a sanitizer's shadow memory does not fit under the limit";
    ASSERT_TRUE(QFile::link("/dev/zero", defaults()));
    start(true);
    ASSERT_TRUE(saidWithinAMinute("stored ")) << log();
    terminateAndExpectACleanExit();
    // The link is left as it was, not written through or over.
    EXPECT_EQ(typeOf(defaults()), mode_t(S_IFLNK));
    EXPECT_EQ(QFile::symLinkTarget(defaults()), "/dev/zero");
}

TEST_F(PlantedPreferencesTest, APipeIsNotWaitedOnAndASigtermStillEndsTheProgram)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(defaults()).constData(), 0600), 0);
    start(false);
    ASSERT_TRUE(saidWithinAMinute("stored ")) << log();
    terminateAndExpectACleanExit();
    EXPECT_EQ(typeOf(defaults()), mode_t(S_IFIFO));
}

}
