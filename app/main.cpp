#include "shell/AppDelegate.h"
#include "shell/AppLaunch.h"
#include "shell/LaunchOptions.h"
#include "shell/TerminationSignals.h"

#include <QApplication>

int main(int argc, char** argv)
{
    AppLaunch::beforeApplication(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("padolvo"));
    QApplication::setApplicationVersion(QStringLiteral(PAV_VERSION));

    LaunchOptions options;
    if (const std::optional<int> status = AppLaunch::prepare(&options))
        return *status;

    AppDelegate delegate;
    TerminationSignals termination(delegate.lifecycle());
    if (!delegate.didFinishLaunching())
        return 1;
    return QApplication::exec();
}
