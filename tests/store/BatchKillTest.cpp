#include "Public/PavEncryptManager.h"
#include "albums/store/PavPhotoManager.h"
#include "platform/photolib/FolderPhotoLibrary.h"
#include "support/FakePhotoAsset.h"
#include "support/ImageFixtures.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <random>

namespace {

constexpr int kItems = 8;
constexpr int kRuns = 20;

QByteArray digest(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex();
}

// Every file under folder (hidden ones too) with its content's digest.
QMap<QString, QByteArray> contents(const QString& folder)
{
    QMap<QString, QByteArray> out;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        out.insert(QDir(folder).relativeFilePath(path), digest(ImageFixtures::readFile(path)));
    }
    return out;
}

// A batch child killed with SIGKILL at a chosen point: after `after` items
// were answered, plus a few milliseconds into the next one.
class BatchKillTest : public ::testing::Test {
protected:
    QString album() const { return m_dir.path() + "/album"; }
    QString library() const { return m_dir.path() + "/library"; }

    // Runs the child; true when it was killed, false when it finished first.
    bool runAndKill(const char* mode, int after, int delayMs)
    {
        QProcess child;
        child.start(PAV_TEST_BIN_DIR "/batch_kill_child", {mode, album(), library()});
        EXPECT_TRUE(child.waitForStarted(10000));
        const QByteArray mark = after == 0 ? QByteArray() : "done " + QByteArray::number(after) + "\n";
        QByteArray output;
        while (!output.contains(mark) && !output.contains("finished") && child.state() == QProcess::Running) {
            child.waitForReadyRead(100);
            output += child.readAllStandardOutput();
        }
        QThread::msleep(ulong(delayMs));
        output += child.readAllStandardOutput();
        const bool killed = !output.contains("finished") && child.state() == QProcess::Running;
        if (killed)
            ::kill(pid_t(child.processId()), SIGKILL);
        EXPECT_TRUE(child.waitForFinished(30000));
        return killed;
    }

    void runToTheEnd(const char* mode)
    {
        QProcess child;
        child.start(PAV_TEST_BIN_DIR "/batch_kill_child", {mode, album(), library()});
        ASSERT_TRUE(child.waitForFinished(60000));
        ASSERT_EQ(child.exitCode(), 0);
        ASSERT_TRUE(child.readAllStandardOutput().contains("finished"));
    }

    // The album after a restart: deciphered content digest -> rows holding it.
    QMap<QByteArray, int> restartAlbum(int* rows)
    {
        PavPhotoManager store(album(), std::make_shared<FolderPhotoLibrary>(library()));
        QMap<QByteArray, int> held;
        const PavPhotoModelList items = store.photoes();
        *rows = int(items.size());
        for (const PavPhotoModelPtr& item : items) {
            const QByteArray full = PavEncryptManager::readDataFromPath(store.getPhotoFullPath(*item));
            EXPECT_FALSE(full.isEmpty());
            EXPECT_FALSE(PavEncryptManager::readDataFromPath(store.getPhotoFullPath(*item) + ".thumb").isEmpty());
            ++held[digest(full)];
        }
        // Every item file left has its row (a kill between a row and its
        // files: the row is rebuilt from them).
        const QStringList files = QDir(album()).entryList(QDir::Files | QDir::Hidden);
        const int itemFiles = int(std::count_if(files.begin(), files.end(), [](const QString& name) {
            return name.size() >= 36 && name[8] == '-';
        }));
        EXPECT_EQ(itemFiles, 2 * *rows);
        return held;
    }

    // The order the kill points are taken in: every item, more than once.
    std::vector<int> killPoints()
    {
        std::vector<int> points;
        for (int i = 0; points.size() < size_t(kRuns); i = (i + 1) % kItems)
            points.push_back(i);
        std::shuffle(points.begin(), points.end(), m_random);
        return points;
    }

    QTemporaryDir m_dir;
    std::mt19937 m_random{20261207};
};

}

TEST_F(BatchKillTest, AKilledEncryptBatchStoresEachPhotoOnceOrNotAtAllAndLeavesTheLibrary)
{
    QList<QByteArray> originals;
    for (int i = 0; i < kItems; ++i) {
        originals << ImageFixtures::jpeg(1400, 1000, i);
        ASSERT_TRUE(ImageFixtures::writeFile(library() + QString("/IMG_%1.JPG").arg(i), originals.last()));
    }
    const QMap<QString, QByteArray> libraryBefore = contents(library());
    int kills = 0;

    for (int after : killPoints()) {
        const int delayMs = std::uniform_int_distribution<int>(0, 15)(m_random);
        SCOPED_TRACE(testing::Message() << "killed after " << after << " items + " << delayMs << " ms");
        QDir(album()).removeRecursively();
        const bool killed = runAndKill("encrypt", after, delayMs);
        kills += killed;

        int rows = 0;
        const QMap<QByteArray, int> held = restartAlbum(&rows);
        EXPECT_EQ(contents(library()), libraryBefore);
        EXPECT_GE(rows, after);
        EXPECT_TRUE(killed || rows == kItems);
        for (auto it = held.cbegin(); it != held.cend(); ++it)
            EXPECT_EQ(it.value(), 1) << "a photo stored twice";
        int known = 0;
        for (const QByteArray& original : originals)
            known += held.value(digest(original));
        EXPECT_EQ(known, rows) << "a stored item that is no photo of the selection";

        // Going on after the restart stores the rest, each once; only the
        // photo in flight at the kill may be there twice: its row rebuilt
        // from its files (which cannot know the library URL), and stored again.
        runToTheEnd("encrypt");
        const QMap<QByteArray, int> all = restartAlbum(&rows);
        int twice = 0;
        for (const QByteArray& original : originals) {
            EXPECT_GE(all.value(digest(original)), 1);
            EXPECT_LE(all.value(digest(original)), 2);
            twice += all.value(digest(original)) == 2;
        }
        EXPECT_LE(twice, 1);
        EXPECT_EQ(rows, kItems + twice);
        EXPECT_EQ(contents(library()), libraryBefore);
    }
    // Most runs were cut in the middle (a fast child may finish a short tail).
    EXPECT_GE(kills, kRuns / 2);
}

TEST_F(BatchKillTest, AKilledMoveOutBatchLosesNoPhotoAndSavesNoneTwice)
{
    QList<QByteArray> originals;
    for (int i = 0; i < kItems; ++i)
        originals << ImageFixtures::jpeg(1400, 1000, 100 + i);
    int kills = 0;

    for (int after : killPoints()) {
        const int delayMs = std::uniform_int_distribution<int>(0, 15)(m_random);
        SCOPED_TRACE(testing::Message() << "killed after " << after << " items + " << delayMs << " ms");
        QDir(album()).removeRecursively();
        QDir(library()).removeRecursively();
        ASSERT_TRUE(ImageFixtures::writeFile(library() + "/mine.jpg", "the user's own file"));
        {
            PavPhotoManager store(album(), nullptr);
            for (int i = 0; i < kItems; ++i) {
                const QString url = QString("assets-library://asset/asset.JPG?id=%1&ext=JPG").arg(i);
                ASSERT_TRUE(store.encryptAsset(*FakePhotoAsset::make(url, originals[i])));
            }
        }
        const bool killed = runAndKill("moveout", after, delayMs);
        kills += killed;

        int rows = 0;
        const QMap<QByteArray, int> held = restartAlbum(&rows);
        EXPECT_LE(rows, kItems - after);
        EXPECT_TRUE(killed || rows == 0);
        QMap<QByteArray, int> saved;
        for (const QString& path : FolderPhotoLibrary(library()).scanFiles()) {
            if (!path.endsWith("/mine.jpg"))
                ++saved[digest(ImageFixtures::readFile(path))];
        }
        EXPECT_EQ(ImageFixtures::readFile(library() + "/mine.jpg"), "the user's own file");
        int accounted = 0;
        for (const QByteArray& original : originals) {
            const QByteArray d = digest(original);
            EXPECT_LE(saved.value(d), 1) << "saved twice";
            EXPECT_LE(held.value(d), 1) << "held twice";
            EXPECT_GE(saved.value(d) + held.value(d), 1) << "a photo lost";
            accounted += saved.value(d);
        }
        // Every saved file is a whole photo of the album, never a cut one.
        int savedFiles = 0;
        for (int n : saved)
            savedFiles += n;
        EXPECT_EQ(accounted, savedFiles);
    }
    EXPECT_GE(kills, kRuns / 2);
}
