// The application ended while the private album's index is being repaired
// behind its window.

#include "albums/store/PavPhotoManager.h"
#include "Public/PavEncryptManager.h"
#include "support/ImageFixtures.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>
#include <QUuid>

#include <gtest/gtest.h>

#include <csignal>

namespace {

int thumbnailCount(const QString& photoDir)
{
    return int(QDir(photoDir).entryList({"*.thumb"}, QDir::Files).size());
}

}

TEST(RepairAtExit, EndingTheAppWhileItsIndexIsRepairedExitsCleanlyAndTheNextStartFinishesIt)
{
    QTemporaryDir dir;
    const QString base = dir.path();
    const QString photoDir = base + "/home/Documents/photo";
    ASSERT_TRUE(QDir().mkpath(photoDir));
    // Large photos without rows or thumbnails: each one is decoded and gets
    // its thumbnail written by the repair.
    constexpr int kItems = 60;
    const QByteArray photo = ImageFixtures::jpeg(3000, 2000, 7);
    for (int i = 0; i < kItems; ++i)
        ASSERT_TRUE(PavEncryptManager::writeData(
            photo, photoDir + "/" + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper()));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_PICTURES_DIR"})
        env.insert(name, base + "/xdg");
    for (int round = 0; round < 3; ++round) {
        const int before = thumbnailCount(photoDir);
        if (before >= kItems)
            break;
        QProcess app;
        app.setProcessEnvironment(env);
        app.start(PAV_APP_BIN,
                  {"--home", base + "/home", "--library", base + "/library", "--disk-root", base + "/disk"});
        ASSERT_TRUE(app.waitForStarted(10000));
        // Ended as soon as the repair is writing thumbnails.
        QElapsedTimer since;
        since.start();
        while (thumbnailCount(photoDir) == before && app.state() == QProcess::Running && since.elapsed() < 60000)
            QThread::msleep(5);
        ::kill(pid_t(app.processId()), SIGTERM);
        ASSERT_TRUE(app.waitForFinished(60000));
        EXPECT_EQ(app.exitStatus(), QProcess::NormalExit) << "round " << round;
        EXPECT_EQ(app.exitCode(), 0) << "round " << round;
    }

    PavPhotoManager store(photoDir, nullptr);
    const PavPhotoModelList items = store.photoes();
    EXPECT_EQ(items.size(), kItems);
    for (const PavPhotoModelPtr& item : items)
        EXPECT_TRUE(store.hasItemFiles(*item)) << item->photoUUID().toStdString();
    EXPECT_TRUE(QDir(photoDir + "/Quarantine").isEmpty());
}
