// One launch of the application's crash path: turns leftover crash reports
// into records and runs the crash upload against the given address, then
// waits for it to end.
//   upload_launch_child <home> <upload-url> <tick-ms>

#include "analytics/AnaBundleUtil.h"
#include "analytics/facade/AnalyticsOperationCenter.h"
#include "analytics/transport/AnaNetWorkHandlerQueue.h"
#include "analytics/transport/AnaUploadAddress.h"
#include "analytics/transport/CommunicateInterface.h"
#include "crashhandler/PavCrashReportManager.h"
#include "platform/core/AppHome.h"
#include "platform/core/UserDefaults.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc < 4)
        return 2;
    QCoreApplication app(argc, argv);
    AppHome::setCurrent(QString::fromLocal8Bit(argv[1]));
    AppHome::current().ensure();
    AnaUploadAddress::setDefaultUrl(QString::fromLocal8Bit(argv[2]));
    CommunicateInterface::setTickLength(std::chrono::milliseconds(std::atoi(argv[3])));

    PavCrashReportManager::crashReport();
    // As the launch sequence does, after the crash hook.
    UserDefaults::standardUserDefaults().setString("PavLastVersion", AnaBundleUtil::getBundleVersion());
    AnalyticsOperationCenter::sharedInstance().waitUntilIdle();
    AnaNetWorkHandlerQueue::sharedInstance().waitUntilAllOperationsAreFinished();
    std::printf("launched\n");
    std::fflush(stdout);
    _exit(0);
}
