#include "shell/LaunchOptions.h"

#include "analytics/transport/AnaUploadAddress.h"
#include "disk/DiskManager.h"
#include "platform/photolib/KyAssetsLibrary.h"
#include "platform/core/AppHome.h"
#include "platform/core/PrivateFiles.h"
#include "platform/core/UserDefaults.h"
#include "platform/photolib/FolderAssetsLibrary.h"
#include "platform/photolib/NativeName.h"
#include "shell/InstanceLock.h"

#include <QCommandLineParser>
#include <QDir>

namespace {
LaunchOptions& stored()
{
    static LaunchOptions options = [] {
        LaunchOptions o;
        o.home = AppHome::defaultRoot();
        o.library = FolderPhotoLibrary::defaultRoot();
        o.diskRoot = o.home + "/CloudDisk";
        o.analyticsUrl = QStringLiteral(PAV_DEFAULT_ANALYTICS_URL);
        return o;
    }();
    return options;
}
}

LaunchOptions::Parse LaunchOptions::parse(const QStringList& arguments, LaunchOptions* out, QString* message)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("PadOlvo: device, private and cloud photo albums"));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption home(QStringLiteral("home"), QStringLiteral("Application home folder."), QStringLiteral("DIR"));
    const QCommandLineOption library(QStringLiteral("library"), QStringLiteral("Device photo library folder."),
                                     QStringLiteral("DIR"));
    const QCommandLineOption diskRoot(QStringLiteral("disk-root"), QStringLiteral("Local cloud-disk store folder."),
                                      QStringLiteral("DIR"));
    const QCommandLineOption analytics(QStringLiteral("analytics-url"), QStringLiteral("Crash record upload address."),
                                       QStringLiteral("URL"));
    parser.addOptions({home, library, diskRoot, analytics});

    if (!parser.parse(arguments)) {
        *message = parser.errorText() + "\n\n" + parser.helpText();
        return Parse::Error;
    }
    if (parser.isSet(help)) {
        *message = parser.helpText();
        return Parse::Print;
    }
    if (parser.isSet(version)) {
        *message = QStringLiteral("padolvo %1\n").arg(QStringLiteral(PAV_VERSION));
        return Parse::Print;
    }
    if (!parser.positionalArguments().isEmpty()) {
        *message = QStringLiteral("Unexpected argument: %1\n\n%2").arg(parser.positionalArguments().first(), parser.helpText());
        return Parse::Error;
    }
    for (const QCommandLineOption& o : {home, diskRoot}) {
        if (parser.isSet(o) && !NativeName::isPlain(parser.value(o))) {
            *message = QStringLiteral("The --%1 path \"%2\" is not valid UTF-8; name a folder whose path is.\n")
                           .arg(o.names().first(), QString::fromUtf8(NativeName::encode(parser.value(o))));
            return Parse::Error;
        }
    }
    const auto folder = [&](const QCommandLineOption& o, const QString& fallback) {
        return parser.isSet(o) ? QDir(parser.value(o)).absolutePath() : fallback;
    };
    LaunchOptions o;
    o.home = folder(home, AppHome::defaultRoot());
    o.library = folder(library, FolderPhotoLibrary::defaultRoot());
    o.defaultLibrary = !parser.isSet(library);
    o.diskRoot = folder(diskRoot, o.home + "/CloudDisk");
    o.analyticsUrl = parser.isSet(analytics) ? parser.value(analytics) : QStringLiteral(PAV_DEFAULT_ANALYTICS_URL);
    *out = o;
    return Parse::Run;
}

QStringList LaunchOptions::arguments(int argc, const char* const* argv)
{
    QStringList list;
    for (int i = 0; i < argc; ++i)
        list.append(NativeName::decode(argv[i]));
    return list;
}

void LaunchOptions::apply() const
{
    tightenEarlierRuns();
    AppHome::setCurrent(home);
    UserDefaults::resetStandardUserDefaults(AppHome::current().preferences() + "/defaults.json");
    // A first start on a new account: an empty album, not a refusal.
    if (defaultLibrary)
        PrivateFiles::makeSharedPath(library);
    // The one device library (it is also PhotoLibrary::shared()).
    KyAssetsLibrary::setDefaultRoot(library);
    KyAssetsLibrary::shareAssetsLibrary().setLibrary(
        FolderAssetsLibrary::open(library, AppHome::current().caches()));
    AnaUploadAddress::setDefaultUrl(analyticsUrl);
    DiskManager::setDiskRoot(diskRoot);
    stored() = *this;
}

void LaunchOptions::tightenEarlierRuns() const
{
    // The default home is the application's own; a folder the user named keeps
    // its mode and only what the application made inside it is tightened.
    const QString ownDiskRoot = home + "/CloudDisk";
    if (home == AppHome::defaultRoot())
        PrivateFiles::tighten(home);
    else
        PrivateFiles::tightenEntries(home, {QStringLiteral("Documents"), QStringLiteral("Library"),
                                            QStringLiteral("CloudDisk"), QString::fromLatin1(InstanceLock::kFileName)});
    if (diskRoot != ownDiskRoot)
        PrivateFiles::tightenEntries(diskRoot, {QStringLiteral("blobs"), QStringLiteral("verify"),
                                                QStringLiteral("index.db")});
}

const LaunchOptions& LaunchOptions::current()
{
    return stored();
}
