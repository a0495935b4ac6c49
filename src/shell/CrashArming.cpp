#include "shell/CrashArming.h"

#include "crashhandler/CrashInstall.h"
#include "platform/core/AppHome.h"
#include "platform/photolib/NativeName.h"

#include <QDir>

#include <cstring>

namespace {

// The value of "--NAME DIR" or "--NAME=DIR", the last one given; null when absent.
QString pathFlag(int argc, const char* const* argv, const char* flag)
{
    const std::size_t length = std::strlen(flag);
    QString value;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--") == 0)
            break;
        if (std::strcmp(arg, flag) == 0 && i + 1 < argc)
            value = NativeName::decode(argv[++i]);
        else if (std::strncmp(arg, flag, length) == 0 && arg[length] == '=')
            value = NativeName::decode(arg + length + 1);
    }
    return value;
}

}  // namespace

QString CrashArming::homeFrom(int argc, const char* const* argv)
{
    const QString home = pathFlag(argc, argv, "--home");
    // The launch refuses a home or disk root whose path is not valid UTF-8:
    // then nothing is made for it.
    if (!NativeName::isPlain(home) || !NativeName::isPlain(pathFlag(argc, argv, "--disk-root")))
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
