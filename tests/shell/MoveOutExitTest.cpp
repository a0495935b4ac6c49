// The application ended while a move out of the private album is under way,
// as a user ends it (SIGTERM, the session ending), and a library folder made
// by a save.

#include "Public/PavEncryptManager.h"
#include "albums/store/PavPhotoManager.h"
#include "platform/photolib/FolderPhotoLibrary.h"
#include "support/FakePhotoAsset.h"
#include "support/ImageFixtures.h"

#include <QCryptographicHash>
#include <QDir>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>

namespace {

QByteArray digest(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
}

mode_t modeOf(const QString& path)
{
    struct stat st{};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

class MoveOutExitTest : public ::testing::Test {
protected:
    QString home() const { return m_dir.path() + "/home"; }
    QString library() const { return m_dir.path() + "/Pictures"; }
    QString album() const { return home() + "/Documents/photo"; }

    QTemporaryDir m_dir;
};

TEST_F(MoveOutExitTest, SigtermDuringAMoveOutLeavesEveryItemInExactlyOnePlace)
{
    constexpr int kItems = 6;
    QList<QByteArray> originals;
    for (int i = 0; i < kItems; ++i)
        originals << ImageFixtures::jpeg(3000, 2000, 40 + i);
    // Each run lands the signal a little later into the batch.
    for (int delayMs : {0, 3, 8, 15, 25, 40}) {
        SCOPED_TRACE(testing::Message() << "signal " << delayMs << " ms after the first item");
        QDir(home()).removeRecursively();
        QDir(library()).removeRecursively();
        {
            PavPhotoManager store(album(), nullptr);
            for (int i = 0; i < kItems; ++i) {
                const QString url = QString("assets-library://asset/asset.JPG?id=%1&ext=JPG").arg(i);
                ASSERT_TRUE(store.encryptAsset(*FakePhotoAsset::make(url, originals[i])));
            }
        }
        QProcess child;
        child.start(PAV_TEST_BIN_DIR "/moveout_child", {"--home", home(), "--library", library()});
        ASSERT_TRUE(child.waitForStarted(10000));
        QByteArray output;
        while (!output.contains("done 1") && child.state() == QProcess::Running) {
            child.waitForReadyRead(100);
            output += child.readAllStandardOutput();
        }
        QThread::msleep(ulong(delayMs));
        ::kill(pid_t(child.processId()), SIGTERM);
        ASSERT_TRUE(child.waitForFinished(60000));
        output += child.readAllStandardOutput();
        EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
        EXPECT_TRUE(output.contains("exit 0")) << output.constData();

        QMap<QByteArray, int> saved;
        for (const QString& path : FolderPhotoLibrary(library()).scanFiles())
            ++saved[digest(ImageFixtures::readFile(path))];
        PavPhotoManager store(album(), nullptr);
        QMap<QByteArray, int> held;
        for (const PavPhotoModelPtr& item : store.photoes())
            ++held[digest(PavEncryptManager::readDataFromPath(store.getPhotoFullPath(*item)))];
        for (int i = 0; i < kItems; ++i) {
            const QByteArray d = digest(originals[i]);
            EXPECT_EQ(saved.value(d) + held.value(d), 1) << "item " << i << ": saved " << saved.value(d)
                                                         << ", held " << held.value(d);
        }
        EXPECT_FALSE(QDir(album() + "/Quarantine").exists());
    }
}

TEST_F(MoveOutExitTest, ALibraryFolderASaveMakesGetsTheUsersMask)
{
    const QString nested = library() + "/Camera";
    const QString photo = m_dir.path() + "/photo.jpg";
    ASSERT_TRUE(ImageFixtures::writeFile(photo, ImageFixtures::jpeg(64, 48, 1)));
    for (mode_t mask : {mode_t(022), mode_t(027)}) {
        QDir(library()).removeRecursively();
        QProcess child;
        const mode_t previous = ::umask(mask);
        child.start(PAV_TEST_BIN_DIR "/library_save_child", {nested, photo});
        ::umask(previous);
        ASSERT_TRUE(child.waitForFinished(30000));
        ASSERT_EQ(child.readAllStandardOutput().trimmed(), "saved");
        EXPECT_EQ(modeOf(library()), 0777 & ~mask);
        EXPECT_EQ(modeOf(nested), 0777 & ~mask);
        const QStringList files = QDir(nested).entryList(QDir::Files);
        ASSERT_EQ(files.size(), 1);
        EXPECT_EQ(modeOf(nested + "/" + files.first()), 0666 & ~mask);
    }
}

}
