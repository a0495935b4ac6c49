// Uploads a file into the disk store given, as a second run of the program
// would: disk_upload_child <home> <store> <source file> <name> [options]
//   --count N        uploads the source N times ("<name>-<i>")
//   --stall-after N  after N chunks prints "stalled <file id>" and waits to be killed
//   --fsize-limit N  no file of the process may grow past N bytes (RLIMIT_FSIZE)
//   --folder NAME    uploads into the folder NAME below the first folder
//   --quit-at-first-chunk
//                    uses the application's shared disk facade, queues all
//                    uploads at once, quits the event loop at the first chunk
//                    as a closed window or SIGTERM does, and prints
//                    "disk threads after quit N" once the loop has returned
//   --hold-at-quit   with --quit-at-first-chunk: each upload waits at its
//                    first chunk until the quit has begun and is stopped
//                    there, as the quit's shutdown stops it, so it is left
//                    unfinished however late the main thread comes to the quit
// Signs in as 10001 / "secret" (the account must exist) and prints
// "upload ok <name>" or "upload fail <code> <name>" for each upload; with
// --count the names are "<name>-<i>".

#include "disk/DiskFileCache.h"
#include "disk/DiskLoginModel.h"
#include "disk/DiskManager.h"
#include "disk/DiskStore.h"
#include "platform/core/AppHome.h"
#include "support/EventLoop.h"
#include "support/RecordingDiskResponse.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QUrl>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <mutex>
#include <sys/resource.h>
#include <unistd.h>

namespace {

void say(const QString& line)
{
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

// Threads of this process that work for the disk facade's queues.
int diskThreads()
{
    const QList<QByteArray> queues{"DiskUpload", "DiskDownload", "DiskThumbnail", "DiskListing", "DiskCommand"};
    int n = 0;
    for (const QString& task : QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm("/proc/self/task/" + task + "/comm");
        if (comm.open(QIODevice::ReadOnly) && queues.contains(comm.readAll().trimmed()))
            ++n;
    }
    return n;
}

}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 5)
        return 2;
    AppHome::setCurrent(args[1]);
    const QString source = QUrl::fromLocalFile(args[3]).toString();
    int count = 1;
    int stallAfter = -1;
    QString folderName;
    const bool quitAtFirstChunk = args.contains("--quit-at-first-chunk");
    const bool holdAtQuit = args.contains("--hold-at-quit");
    for (int i = 5; i + 1 < args.size(); i += 2) {
        if (args[i] == "--count")
            count = args[i + 1].toInt();
        else if (args[i] == "--folder")
            folderName = args[i + 1];
        else if (args[i] == "--stall-after")
            stallAfter = args[i + 1].toInt();
        else if (args[i] == "--fsize-limit") {
            // Past the limit a write fails with EFBIG instead of killing the process.
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{rlim_t(args[i + 1].toLongLong()), RLIM_INFINITY};
            if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
                return 3;
        }
    }

    // The uploads held at their first chunk, stopped when the quit begins:
    // connected before the shared facade (made below) connects its own
    // shutdown, so that this runs first and the shutdown's join finds them
    // let go.
    std::mutex heldMutex;
    std::condition_variable quitBegun;
    bool quitting = false;
    QList<DiskFilePtr> held;
    DiskManager* facade = nullptr;
    if (holdAtQuit)
        QObject::connect(&app, &QCoreApplication::aboutToQuit, [&] {
            std::lock_guard lock(heldMutex);
            for (const DiskFilePtr& file : held)
                facade->requestStopUploadFile(file);
            quitting = true;
            quitBegun.notify_all();
        });

    std::shared_ptr<DiskStore> store = DiskStore::open(args[2]);
    if (!store)
        return 4;
    DiskManager::setDiskRoot(args[2]);
    DiskLoginModel ownLogin([store] { return store; });
    DiskManager ownManager([store] { return store; }, [&ownLogin] { return ownLogin.sessionKey(); });
    DiskLoginModel& login = quitAtFirstChunk ? DiskLoginModel::sharedInstance() : ownLogin;
    DiskManager& manager = quitAtFirstChunk ? DiskManager::shareDiskManager() : ownManager;
    facade = &manager;
    RecordingDiskResponse r;
    login.setDelegate(&r);
    login.loginWithUserName("10001", "secret");
    if (!waitUntil([&] { return !r.log.isEmpty(); }, 20000) || r.log.first() != "login YES 0")
        return 5;
    manager.requestQueryUser(&r);
    if (!waitUntil([&] { return r.log.size() >= 2; }, 20000) || !r.user)
        return 6;
    manager.requestQueryDir(r.user->root_dir(), &r);
    if (!waitUntil([&] { return r.log.size() >= 3; }, 20000) || r.dirs.isEmpty())
        return 7;
    DiskDirPtr folder = r.dirs.first();
    if (!folderName.isEmpty()) {
        manager.requestQueryDir(folder, &r);
        if (!waitUntil([&] { return r.log.size() >= 4; }, 20000))
            return 10;
        const auto found = std::find_if(r.dirs.begin(), r.dirs.end(),
                                        [&](const DiskDirPtr& d) { return d->dir_name() == folderName; });
        if (found == r.dirs.end())
            return 10;
        folder = *found;
    }
    auto nameOf = [&](int i) { return count == 1 ? args[4] : QStringLiteral("%1-%2").arg(args[4]).arg(i); };

    if (quitAtFirstChunk) {
        manager.setChunkObserver([&](const DiskFilePtr& file, qint64) {
            QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
            if (!holdAtQuit)
                return;
            std::unique_lock lock(heldMutex);
            if (quitting) {
                manager.requestStopUploadFile(file);
                return;
            }
            held.append(file);
            quitBegun.wait(lock, [&] { return quitting; });
        });
        std::vector<std::unique_ptr<RecordingDiskResponse>> answers;
        for (int i = 0; i < count; ++i) {
            answers.push_back(std::make_unique<RecordingDiskResponse>());
            manager.requestUploadFile(DiskFile::initWithUploadSource(source, nameOf(i), folder), answers.back().get());
        }
        app.exec();
        say(QStringLiteral("disk threads after quit %1").arg(diskThreads()));
        return 0;
    }

    std::atomic<int> chunks{0};
    manager.setChunkObserver([&](const DiskFilePtr& file, qint64) {
        if (++chunks == stallAfter) {
            say("stalled " + file->file_id());
            for (;;)
                ::pause();
        }
    });
    for (int i = 0; i < count; ++i) {
        const QString name = nameOf(i);
        DiskFilePtr file = DiskFile::initWithUploadSource(source, name, folder);
        if (!file)
            return 8;
        RecordingDiskResponse up;
        manager.requestUploadFile(file, &up);
        if (!waitUntil([&] { return !up.log.isEmpty(); }, 60000))
            return 9;
        say(up.log.first() == "upload ok" ? "upload ok " + name
                                          : QStringLiteral("upload fail %1 %2").arg(up.lastError.code).arg(name));
    }
    return 0;
}
