// Runs one album batch over real folders until the parent kills it:
//   batch_kill_child encrypt <album folder> <library folder>
//     stores every photo of the library into the private album, as the
//     device album's encrypt batch does (already stored: a success);
//   batch_kill_child moveout <album folder> <library folder>
//     moves every item of the private album out into the library.
// Prints "done <n>" after each item and "finished" at the end.

#include "albums/device/DeviceAlbumBatches.h"
#include "albums/private/SecretAlbumBatch.h"
#include "albums/store/PavPhotoManager.h"
#include "platform/photolib/FolderPhotoLibrary.h"
#include "platform/sys/IdleInhibitBackend.h"

#include <QCoreApplication>

#include <cstdio>

namespace {
void say(const char* what, unsigned n)
{
    std::printf("%s %u\n", what, n);
    std::fflush(stdout);
}
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 4)
        return 2;
    const QString mode = QString::fromLocal8Bit(argv[1]);
    auto library = std::make_shared<FolderPhotoLibrary>(QString::fromLocal8Bit(argv[3]));
    PavPhotoManager store(QString::fromLocal8Bit(argv[2]), library);
    IdleTimer idle;

    if (mode == "encrypt") {
        std::vector<PhotoAssetPtr> assets;
        for (const QString& path : library->scanFiles())
            assets.push_back(library->assetForFile(path));
        BatchRunner runner(DeviceAlbumBatches::kEncryptQueue, idle);
        BatchCallbacks callbacks;
        callbacks.progress = [](const BatchCounts& counts) { say("done", counts.done); };
        callbacks.finished = [](const BatchOutcome&) { say("finished", 0); QCoreApplication::quit(); };
        runner.setReceiver(&app, std::move(callbacks));
        runner.start(unsigned(assets.size()), [&store, assets](BatchCompletion item) {
            const PhotoAsset& asset = *assets.at(item.index());
            if (store.isEncrypted(asset))
                item.succeed();
            else
                item.finish(store.encryptAsset(asset));
        });
        return QCoreApplication::exec();
    }
    if (mode == "moveout") {
        SecretAlbumBatch batch(store, idle);
        SecretAlbumBatch::Listener listener;
        listener.progressed = [](SecretAlbumBatch::Kind, const BatchCounts& counts) { say("done", counts.done); };
        listener.finished = [](SecretAlbumBatch::Kind, const BatchOutcome&) { say("finished", 0); QCoreApplication::quit(); };
        batch.setListener(std::move(listener));
        if (!batch.start(SecretAlbumBatch::Kind::MoveOut, store.photoes()))
            return 1;
        return QCoreApplication::exec();
    }
    return 2;
}
