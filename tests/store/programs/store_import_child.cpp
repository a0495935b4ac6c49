// Stores items into the private album folder given as the first argument:
// the number given second are stored normally ("stored N" each); the next
// one stops inside its insert, after both files were written, and prints
// "stalled <uuid>" - the test then kills the process with SIGKILL. With
// "open" second, it only opens the store (healing its index) and prints
// "opened".

#include "albums/store/DBOEncryptAlbumOp.h"
#include "albums/store/PavPhotoManager.h"
#include "Public/SqliteDBManager.h"
#include "support/FakePhotoAsset.h"
#include "support/ImageFixtures.h"

#include <QCoreApplication>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {
class StallingOp : public DBOEncryptAlbumOp {
public:
    StallingOp(std::unique_ptr<SqliteDBManager> engine, int stallAt)
        : DBOEncryptAlbumOp(std::move(engine)), m_stallAt(stallAt) {}

    bool insertRecord(const PavPhotoModel& model) override
    {
        if (++m_inserts == m_stallAt) {
            std::printf("stalled %s\n", model.photoUUID().toUtf8().constData());
            std::fflush(stdout);
            for (;;)
                ::pause();
        }
        return DBOEncryptAlbumOp::insertRecord(model);
    }

private:
    int m_stallAt;
    std::atomic<int> m_inserts{0};
};
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return 2;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (std::strcmp(argv[2], "open") == 0) {
        PavPhotoManager store(folder, nullptr);
        std::printf("opened %d\n", int(store.photoes().size()));
        return 0;
    }
    const int count = std::atoi(argv[2]);
    // The table is made by the ordinary op first; the stalling one reuses the file.
    DBOEncryptAlbumOp::initWithFilePath(folder + "/photo");
    auto op = std::make_unique<StallingOp>(SqliteDBManager::initWithFilePath(folder + "/photo"), count + 1);
    PavPhotoManager store(folder, nullptr, std::move(op));
    for (int i = 0; i <= count; ++i) {
        const QString url = QString("assets-library://asset/asset.JPG?id=%1&ext=JPG").arg(i);
        if (!store.encryptAsset(*FakePhotoAsset::make(url, ImageFixtures::jpeg(800, 600, i))))
            return 1;
        std::printf("stored %d\n", i);
        std::fflush(stdout);
    }
    return 0;
}
