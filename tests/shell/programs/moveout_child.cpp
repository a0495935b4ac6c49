// Starts the application as main() does over --home and --library, then
// moves every item of its private album out into the library, as the
// private album's batch does. Prints "started", "done <n>" as items are
// answered and "exit <status>" when the event loop has ended. SIGTERM,
// SIGINT and SIGHUP end it as they end the application.

#include "albums/private/SecretAlbumBatch.h"
#include "albums/store/PavPhotoManager.h"
#include "shell/AppLaunch.h"

#include <QApplication>

#include <cstdio>

namespace {
void say(const QByteArray& line)
{
    std::printf("%s\n", line.constData());
    std::fflush(stdout);
}
}

int main(int argc, char** argv)
{
    AppLaunch launch(argc, argv);
    if (const std::optional<int> status = launch.launch())
        return *status;
    PavPhotoManager& store = PavPhotoManager::sharedPavPhotoManager();
    SecretAlbumBatch batch(store);
    SecretAlbumBatch::Listener listener;
    listener.progressed = [](SecretAlbumBatch::Kind, const BatchCounts& counts) {
        say("done " + QByteArray::number(counts.done));
    };
    listener.finished = [](SecretAlbumBatch::Kind, const BatchOutcome&) { say("finished"); };
    batch.setListener(std::move(listener));
    if (!batch.start(SecretAlbumBatch::Kind::MoveOut, store.photoes()))
        return 1;
    say("started");
    const int status = QApplication::exec();
    say("exit " + QByteArray::number(status));
    return status;
}
