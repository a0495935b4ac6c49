#include "analytics/LinuxNetworkFacts.h"

#include "platform/sys/NetworkHelper.h"

#include <QDir>
#include <QFile>
#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

namespace {

QByteArray uevent(const QString& name)
{
    QFile f("/sys/class/net/" + name + "/uevent");
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool isWifi(const QString& name)
{
    return QDir("/sys/class/net/" + name + "/wireless").exists() || uevent(name).contains("DEVTYPE=wlan");
}

// name and dotted address of every up, running, non-loopback IPv4 interface
template <typename Fn>
void forEachUpIpv4(Fn fn)
{
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return;
    for (ifaddrs* a = list; a; a = a->ifa_next) {
        if (!a->ifa_addr || a->ifa_addr->sa_family != AF_INET)
            continue;
        if ((a->ifa_flags & IFF_LOOPBACK) || !(a->ifa_flags & IFF_UP) || !(a->ifa_flags & IFF_RUNNING))
            continue;
        char text[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(a->ifa_addr)->sin_addr, text, sizeof text);
        fn(QString::fromUtf8(a->ifa_name), QString::fromLatin1(text));
    }
    freeifaddrs(list);
}

}

LinuxNetworkFacts::LinuxNetworkFacts(QString wifiInterface)
    : m_wifiInterface(std::move(wifiInterface))
{
}

bool LinuxNetworkFacts::readFlags(Flags& flags) const
{
    const int kind = NetworkHelper::getNetworkConnction();
    flags = Flags();
    flags.reachable = kind != NetworkConnectionNone;
    flags.cellular = kind == NetworkConnectionInternet;
    return true;
}

QString LinuxNetworkFacts::wifiAddress() const
{
    QString address;
    forEachUpIpv4([&](const QString& name, const QString& ip) {
        bool wanted = m_wifiInterface.isEmpty() ? isWifi(name) : name == m_wifiInterface;
        if (wanted && address.isNull())
            address = ip;
    });
    return address;
}
