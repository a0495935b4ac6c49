#include "shell/AppDelegate.h"
#include "shell/CrashReportWiring.h"
#include "shell/LaunchOptions.h"
#include "shell/TerminationSignals.h"
#include "platform/core/PrivateFiles.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    // Everything the application makes is its user's alone.
    PrivateFiles::restrictNewFiles();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("padolvo"));
    QApplication::setApplicationVersion(QStringLiteral(PAV_VERSION));

    LaunchOptions options;
    QString message;
    switch (LaunchOptions::parse(QApplication::arguments(), &options, &message)) {
    case LaunchOptions::Parse::Run:
        break;
    case LaunchOptions::Parse::Print:
        std::fputs(message.toLocal8Bit().constData(), stdout);
        return 0;
    case LaunchOptions::Parse::Error:
        std::fputs(message.toLocal8Bit().constData(), stderr);
        return 2;
    }
    options.apply();
    CrashReportWiring::install();

    AppDelegate delegate;
    TerminationSignals termination(delegate.lifecycle());
    if (!delegate.didFinishLaunching())
        return 1;
    return QApplication::exec();
}
