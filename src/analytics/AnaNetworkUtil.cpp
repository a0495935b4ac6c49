#include "analytics/AnaNetworkUtil.h"

#include "analytics/LinuxNetworkFacts.h"
#include "analytics/transport/AnaUploadAddress.h"
#include "analytics/transport/CurlExchange.h"

#include <QUrl>
#include <arpa/inet.h>
#include <cstdio>
#include <mutex>
#include <netdb.h>
#include <unistd.h>

namespace {

std::mutex g_mutex;
const AnaNetworkFacts* g_facts = nullptr;
AnaNetworkFacts::Flags g_flags;

const AnaNetworkFacts& facts()
{
    static LinuxNetworkFacts system;
    return g_facts ? *g_facts : system;
}

AnaNetworkFacts::Flags refresh()
{
    std::lock_guard lock(g_mutex);
    AnaNetworkFacts::Flags flags;
    if (facts().readFlags(flags)) {
        g_flags = flags;
    } else {
        std::fputs("Error. Could not recover flags", stdout);
        std::fflush(stdout);
    }
    return g_flags;
}

}

void AnaNetworkUtil::setFacts(const AnaNetworkFacts* f)
{
    std::lock_guard lock(g_mutex);
    g_facts = f;
}

bool AnaNetworkUtil::networkAvaliable()
{
    AnaNetworkFacts::Flags f = refresh();
    // An upload address on this machine is reachable whatever the other
    // interfaces say, as platform reachability answers for a local host.
    if (AnaUploadAddress::isLoopbackUrl(AnaUploadAddress::defaultUrl()))
        return true;
    return f.reachable && !f.connectionRequired;
}

void AnaNetworkUtil::pingReachabliltyInternal() { refresh(); }

bool AnaNetworkUtil::activeWWAN()
{
    AnaNetworkFacts::Flags f = refresh();
    return f.reachable && !f.connectionRequired && f.cellular;
}

bool AnaNetworkUtil::is2G()
{
    AnaNetworkFacts::Flags f = refresh();
    return f.reachable && !f.connectionRequired && f.cellular && f.transient;
}

bool AnaNetworkUtil::activeWLAN() { return networkAvaliable() && !localWiFiIPAddress().isNull(); }

QString AnaNetworkUtil::localWiFiIPAddress()
{
    std::lock_guard lock(g_mutex);
    return facts().wifiAddress();
}

QString AnaNetworkUtil::getAPN()
{
    if (activeWLAN())
        return "WiFi";
    if (!activeWWAN())
        return "unknown";
    QString carrier;
    {
        std::lock_guard lock(g_mutex);
        carrier = facts().carrierName();
    }
    if (carrier.isEmpty())
        carrier = "unkown";
    return QString("%1;%2").arg(QString::fromLatin1(QUrl::toPercentEncoding(carrier)), is2G() ? "2G" : "3G");
}

QString AnaNetworkUtil::localHostname()
{
    char name[256] = {};
    if (gethostname(name, 255) != 0)
        return QString();
    return QString("%1.local").arg(QString::fromUtf8(name));
}

QString AnaNetworkUtil::localIPAddress() { return ipForHost(localHostname()); }

QString AnaNetworkUtil::ipForHost(const QString& url)
{
    if (url.isEmpty())
        return QString();
    QString host = QUrl(url).host();
    if (host.isEmpty())
        host = QUrl::fromUserInput(url).host();
    if (host.isEmpty())
        return QString();
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.toUtf8().constData(), nullptr, &hints, &found) != 0 || !found)
        return QString();
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr, text, sizeof text);
    freeaddrinfo(found);
    return QString::fromLatin1(text);
}

QString AnaNetworkUtil::addressFromURL(const QString& url)
{
    const CurlExchange::Result result = CurlExchange().get(url, CurlExchange::Limits());
    switch (result.ending) {
    case CurlExchange::Ending::Finished: return QString::fromUtf8(result.body);
    case CurlExchange::Ending::Failed: return result.curlMessage;
    case CurlExchange::Ending::TimedOut: return QStringLiteral("The request timed out.");
    default: return QStringLiteral("The connection could not be created.");
    }
}
