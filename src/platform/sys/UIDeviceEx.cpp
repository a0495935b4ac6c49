#include "platform/sys/UIDeviceEx.h"

#include <QFileInfo>

#include <sys/utsname.h>

namespace {
struct Uname {
    QString machine;
    QString release;
};

const Uname& uname()
{
    static const Uname value = [] {
        Uname u;
        utsname info{};
        if (::uname(&info) == 0) {
            u.machine = QString::fromUtf8(info.machine);
            u.release = QString::fromUtf8(info.release);
        }
        if (u.machine.isEmpty())
            u.machine = QStringLiteral("unknown");
        return u;
    }();
    return value;
}
}

QString UIDeviceEx::model() { return uname().machine; }
QString UIDeviceEx::systemVersion() { return uname().release; }

bool UIDeviceEx::hasAPT()
{
    static const bool value = hasAPTAt(QStringLiteral("/private/var/lib/apt/"));
    return value;
}

bool UIDeviceEx::hasAPTAt(const QString& directory)
{
    return QFileInfo(directory).isDir();
}
