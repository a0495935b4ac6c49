#include "platform/media/MediaBackend.h"
#include "shell/AppDelegate.h"
#include "shell/CrashReportWiring.h"
#include "shell/LaunchOptions.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    MediaBackend::select();
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
    if (!delegate.didFinishLaunching())
        return 1;
    return QApplication::exec();
}
