#include "platform/sys/NetworkHelper.h"

#include <QCoreApplication>
#include <QNetworkInformation>
#include <QNetworkInterface>
#include <QThread>

#include <mutex>

namespace {
std::mutex g_providerMutex;
NetworkHelper::Provider g_provider;

// The backend is loaded once, on the application's thread (its signals are
// delivered there); other threads read it once it exists.
QNetworkInformation* networkInformation()
{
    static std::once_flag once;
    auto* app = QCoreApplication::instance();
    if (app && QThread::currentThread() == app->thread())
        std::call_once(once, [] { QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability); });
    return QNetworkInformation::instance();
}
}

int NetworkHelper::getNetworkConnction()
{
    Provider provider;
    {
        std::lock_guard lock(g_providerMutex);
        provider = g_provider;
    }
    if (provider) {
        const int kind = provider();
        return kind >= NetworkConnectionNone && kind <= NetworkConnectionBoth ? kind : NetworkConnectionNone;
    }
    return systemConnectionKind();
}

void NetworkHelper::setConnectionProvider(Provider provider)
{
    std::lock_guard lock(g_providerMutex);
    g_provider = std::move(provider);
}

int NetworkHelper::systemConnectionKind()
{
    if (QNetworkInformation* info = networkInformation()) {
        switch (info->reachability()) {
        case QNetworkInformation::Reachability::Disconnected:
            return NetworkConnectionNone;
        case QNetworkInformation::Reachability::Local:
        case QNetworkInformation::Reachability::Site:
            return NetworkConnectionLocalWifi;
        case QNetworkInformation::Reachability::Online:
            return info->transportMedium() == QNetworkInformation::TransportMedium::Cellular
                       ? NetworkConnectionInternet
                       : NetworkConnectionBoth;
        case QNetworkInformation::Reachability::Unknown:
            break;
        }
    }
    return interfaceConnectionKind();
}

int NetworkHelper::interfaceConnectionKind()
{
    const auto wanted = QNetworkInterface::IsUp | QNetworkInterface::IsRunning;
    for (const QNetworkInterface& iface : QNetworkInterface::allInterfaces()) {
        const auto flags = iface.flags();
        if ((flags & wanted) == wanted && !(flags & QNetworkInterface::IsLoopBack) && !iface.addressEntries().isEmpty())
            return NetworkConnectionBoth;
    }
    return NetworkConnectionNone;
}
