#include "shell/CrashArming.h"

#include "crashhandler/CrashInstall.h"
#include "platform/core/AppHome.h"
#include "platform/photolib/NativeName.h"

#include <QDir>

#include <cstring>

QString CrashArming::homeFrom(int argc, const char* const* argv)
{
    static constexpr char kFlag[] = "--home";
    constexpr std::size_t kLength = sizeof kFlag - 1;
    QString home;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--") == 0)
            break;
        if (std::strcmp(arg, kFlag) == 0 && i + 1 < argc)
            home = NativeName::decode(argv[++i]);
        else if (std::strncmp(arg, kFlag, kLength) == 0 && arg[kLength] == '=')
            home = NativeName::decode(arg + kLength + 1);
    }
    if (!NativeName::isPlain(home))
        return {};
    return home.isEmpty() ? AppHome::defaultRoot() : QDir(home).absolutePath();
}

void CrashArming::arm(int argc, const char* const* argv)
{
    const QString home = homeFrom(argc, argv);
    if (home.isEmpty())
        return;
    AppHome::setCurrent(home);
    installCrashHandler();
}
