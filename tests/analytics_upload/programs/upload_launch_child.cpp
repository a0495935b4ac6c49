// One launch of the application's crash path: turns leftover crash reports
// into records and runs the crash upload against the given address, then
// waits for it to end.
//   upload_launch_child <home> <upload-url> <tick-ms> [read-only-documents]
// read-only-documents: the launch sees its Documents folder read-only (a
// read-only bind mount in a mount namespace of its own; without the rights
// for one, the folder's mode).

#include "analytics/AnaBundleUtil.h"
#include "analytics/facade/AnalyticsOperationCenter.h"
#include "analytics/transport/AnaNetWorkHandlerQueue.h"
#include "analytics/transport/AnaUploadAddress.h"
#include "analytics/transport/CommunicateInterface.h"
#include "crashhandler/PavCrashReportManager.h"
#include "platform/core/AppHome.h"
#include "platform/core/UserDefaults.h"

#include <QCoreApplication>
#include <QFile>

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

bool makeReadOnly(const QByteArray& folder)
{
    if (geteuid() != 0)
        return chmod(folder.constData(), 0500) == 0;
    return unshare(CLONE_NEWNS) == 0 && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0
           && mount(folder.constData(), folder.constData(), nullptr, MS_BIND, nullptr) == 0
           && mount(nullptr, folder.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
}

}

int main(int argc, char** argv)
{
    if (argc < 4)
        return 2;
    QCoreApplication app(argc, argv);
    AppHome::setCurrent(QString::fromLocal8Bit(argv[1]));
    AppHome::current().ensure();
    const QByteArray documents = QFile::encodeName(AppHome::current().documents());
    const bool readOnly = argc > 4 && std::strcmp(argv[4], "read-only-documents") == 0;
    if (readOnly && !makeReadOnly(documents))
        return 4;
    AnaUploadAddress::setDefaultUrl(QString::fromLocal8Bit(argv[2]));
    CommunicateInterface::setTickLength(std::chrono::milliseconds(std::atoi(argv[3])));

    PavCrashReportManager::crashReport();
    // As the launch sequence does, after the crash hook.
    UserDefaults::standardUserDefaults().setString("PavLastVersion", AnaBundleUtil::getBundleVersion());
    AnalyticsOperationCenter::sharedInstance().waitUntilIdle();
    AnaNetWorkHandlerQueue::sharedInstance().waitUntilAllOperationsAreFinished();
    if (readOnly && geteuid() != 0)
        chmod(documents.constData(), 0700);
    std::printf("launched\n");
    std::fflush(stdout);
    _exit(0);
}
