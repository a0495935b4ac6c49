#include "shell/AppLaunch.h"

#include "platform/core/PrivateFiles.h"
#include "albums/private/SecretAlbumBatch.h"
#include "albums/store/PavPhotoManager.h"
#include "analytics/transport/CurlExchange.h"
#include "crashhandler/CrashHandler.h"
#include "crashhandler/PavCrashReportManager.h"
#include "platform/media/MediaBackend.h"
#include "platform/photolib/LibraryTempFiles.h"
#include "platform/photolib/PhotoLibrary.h"
#include "shell/AppDelegate.h"
#include "shell/CleanExit.h"
#include "shell/CrashArming.h"
#include "shell/CrashReportWiring.h"
#include "shell/InstanceLock.h"
#include "shell/TerminationSignals.h"

#include <cstdio>

AppLaunch::Armed::Armed(int argc, char** argv)
{
    // A quit asked this early is kept until the event loop can act on it.
    TerminationSignals::catchEarly();
    PrivateFiles::restrictNewFiles();
    CrashArming::arm(argc, argv);
    // The upload's HTTP library sets itself up here, before any thread runs.
    CurlExchange::setUpGlobally();
    MediaBackend::select();
}

AppLaunch::AppLaunch(int& argc, char** argv) : m_armed(argc, argv), m_app(argc, argv), m_argc(argc), m_argv(argv)
{
    QApplication::setApplicationName(QStringLiteral("padolvo"));
    QApplication::setApplicationVersion(QStringLiteral(PAV_VERSION));
}

AppLaunch::~AppLaunch()
{
    // The crash upload's queues are joined here, not by the exit handlers.
    PavCrashReportManager::shutdown();
    // The private album's heal behind draws with the application's image
    // plugins: it ends before they go.
    if (m_delegate)
        PavPhotoManager::sharedPavPhotoManager().stopIndexRepair();
    m_termination.reset();
    m_cleanExit.reset();
    m_delegate.reset();
    // A save into the device library being written ends whole, not cut off
    // by the exit with its temporary copy left in the user's folder.
    PhotoLibrary::stopSharedSaves();
}

std::optional<int> AppLaunch::launch()
{
    QString message;
    switch (LaunchOptions::parse(LaunchOptions::arguments(m_argc, m_argv), &m_options, &message)) {
    case LaunchOptions::Parse::Run:
        break;
    case LaunchOptions::Parse::Print:
        std::fputs(message.toLocal8Bit().constData(), stdout);
        return 0;
    case LaunchOptions::Parse::Error:
        std::fputs(message.toLocal8Bit().constData(), stderr);
        return 2;
    }
    if (!InstanceLock::holdForProcess(m_options.home))
        return 3;
    m_options.apply();
    CrashReportWiring::install();
    LibraryTempFiles::removeLeftovers(m_options.library);

    m_delegate = std::make_unique<AppDelegate>();
    CleanExit::Work work;
    work.inHand = [] { return PavPhotoManager::sharedPavPhotoManager().savesInHand(); };
    work.beforeQuit = [] { PavPhotoManager::sharedPavPhotoManager().checkpointIndex(); };
    m_cleanExit = std::make_unique<CleanExit>(m_delegate->lifecycle(), std::move(work), SecretAlbumBatch::kStopGraceMs);
    QApplication::setQuitOnLastWindowClosed(false);
    QObject::connect(&m_app, &QGuiApplication::lastWindowClosed, m_cleanExit.get(), &CleanExit::request);
    m_termination = std::make_unique<TerminationSignals>([exit = m_cleanExit.get()] { exit->request(); });
    // The launch converts leftover crash reports before the event loop runs.
    CrashHandler::sharedInstance().setStopRequest(&TerminationSignals::requested);
    if (!m_delegate->didFinishLaunching())
        return 1;
    return std::nullopt;
}
