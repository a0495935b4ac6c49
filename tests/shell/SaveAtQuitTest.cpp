// The application quit while it saves pictures into the device library.

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

// The save being written when the quit comes ends whole: the library holds
// only complete pictures and no temporary copy is left in the user's folder.
TEST(SaveAtQuit, ASaveBeingWrittenAtAQuitEndsWholeAndLeavesNoTemporaryCopy)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString library = dir.path() + "/Pictures";
    ASSERT_TRUE(QDir().mkpath(library));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"})
        env.insert(name, dir.path() + "/xdg");

    QProcess child;
    child.setProcessEnvironment(env);
    child.start(PAV_TEST_BIN_DIR "/save_quit_child",
                {"--home", dir.path() + "/home", "--library", library, "--disk-root", dir.path() + "/disk"});
    ASSERT_TRUE(child.waitForStarted(10000));
    QByteArray line;
    while (!line.startsWith("queued") && child.waitForReadyRead(60000))
        while (child.canReadLine() && !line.startsWith("queued"))
            line = child.readLine().trimmed();
    ASSERT_TRUE(line.startsWith("queued")) << child.readAllStandardError().toStdString();
    const qint64 pictureSize = line.mid(7).toLongLong();

    ::kill(pid_t(child.processId()), SIGTERM);
    const bool ended = child.waitForFinished(60000);
    if (!ended)
        child.kill();
    ASSERT_TRUE(ended);
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0);

    const QFileInfoList files = QDir(library).entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& file : files) {
        EXPECT_FALSE(file.fileName().contains(".pavtmp")) << file.fileName().toStdString();
        EXPECT_EQ(file.size(), pictureSize) << file.fileName().toStdString();
    }
}
