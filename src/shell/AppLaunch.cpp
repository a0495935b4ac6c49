#include "shell/AppLaunch.h"

#include "platform/core/PrivateFiles.h"
#include "platform/media/MediaBackend.h"
#include "shell/CrashArming.h"
#include "shell/CrashReportWiring.h"
#include "shell/InstanceLock.h"
#include "shell/LaunchOptions.h"

#include <QCoreApplication>

#include <cstdio>

void AppLaunch::beforeApplication(int argc, char** argv)
{
    PrivateFiles::restrictNewFiles();
    CrashArming::arm(argc, argv);
    MediaBackend::select();
}

std::optional<int> AppLaunch::prepare(LaunchOptions* options)
{
    QString message;
    switch (LaunchOptions::parse(QCoreApplication::arguments(), options, &message)) {
    case LaunchOptions::Parse::Run:
        break;
    case LaunchOptions::Parse::Print:
        std::fputs(message.toLocal8Bit().constData(), stdout);
        return 0;
    case LaunchOptions::Parse::Error:
        std::fputs(message.toLocal8Bit().constData(), stderr);
        return 2;
    }
    if (!InstanceLock::holdForProcess(options->home))
        return 3;
    options->apply();
    CrashReportWiring::install();
    return std::nullopt;
}
