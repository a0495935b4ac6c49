// The application's launch as main() runs it, against the given flags, with
// its address space capped at 3 GiB, so that a decode past what a start may
// hold fails instead of taking the machine's memory. Once the device album
// shows TILES tiles (from the environment), each with its thumbnail or its
// placeholder, and the private album's repair has ended, it prints
// "tiles N placeholders P pictures Q", quits as the window's close does and
// prints "peak KB", the most memory it ever had resident.
//   decode_bombs_child --home DIR --library DIR --disk-root DIR
#include "albums/store/PavPhotoManager.h"
#include "albums/widgets/PavSystemAssetView_iPad.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Images.h"
#include "shell/AppDelegate.h"
#include "shell/AppLaunch.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <sys/resource.h>

namespace {
void say(const QByteArray& line)
{
    std::printf("%s\n", line.constData());
    std::fflush(stdout);
}
}

int main(int argc, char** argv)
{
    struct rlimit cap {};
    getrlimit(RLIMIT_AS, &cap);
    cap.rlim_cur = std::min<rlim_t>(cap.rlim_max, rlim_t(3) << 30);
    setrlimit(RLIMIT_AS, &cap);

    AppLaunch launch(argc, argv);
    if (const std::optional<int> status = launch.launch())
        return *status;
    const int expected = qEnvironmentVariableIntValue("TILES");
    const QImage failed = ui::Images::named(QStringLiteral("PavAlbum_LoadPhotoFailed_iPad.png")).toImage();
    PavPhotoManager& store = PavPhotoManager::sharedPavPhotoManager();

    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        const auto tiles = launch.delegate().window()->findChildren<PavSystemAssetView_iPad*>();
        int placeholders = 0;
        int pictures = 0;
        for (const PavSystemAssetView_iPad* tile : tiles) {
            const QImage shown = tile->thumbnailView()->image().toImage();
            if (!shown.isNull())
                ++(shown == failed ? placeholders : pictures);
        }
        if (tiles.size() < expected || placeholders + pictures < tiles.size() || store.isRepairingIndex())
            return;
        poll.stop();
        say(QStringLiteral("tiles %1 placeholders %2 pictures %3")
                .arg(tiles.size()).arg(placeholders).arg(pictures).toUtf8());
        launch.delegate().window()->close();
    });
    poll.start(20);
    const int status = QApplication::exec();
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    say("peak " + QByteArray::number(qint64(usage.ru_maxrss)));
    return status;
}
