#include "analytics/transport/AnaUploadAddress.h"

#include <QHostAddress>
#include <QUrl>

#include <mutex>

#ifndef PAV_DEFAULT_ANALYTICS_URL
#define PAV_DEFAULT_ANALYTICS_URL ""
#endif

namespace {

std::mutex g_mutex;
QString& current()
{
    static QString url = AnaUploadAddress::withUploadPath(QString::fromUtf8(PAV_DEFAULT_ANALYTICS_URL));
    return url;
}

}

QString AnaUploadAddress::defaultUrl()
{
    std::lock_guard lock(g_mutex);
    return current();
}

void AnaUploadAddress::setDefaultUrl(const QString& url)
{
    const QString full = withUploadPath(url);
    std::lock_guard lock(g_mutex);
    current() = full;
}

QString AnaUploadAddress::withUploadPath(const QString& url)
{
    if (!isUsableUrl(url))
        return url;
    QUrl parsed(url, QUrl::StrictMode);
    if (!parsed.path().isEmpty() && parsed.path() != QLatin1String("/"))
        return url;
    parsed.setPath(QString::fromLatin1(kUploadPath));
    return parsed.toString();
}

bool AnaUploadAddress::isUsableUrl(const QString& url)
{
    const QUrl parsed(url, QUrl::StrictMode);
    const QString scheme = parsed.scheme().toLower();
    return parsed.isValid() && (scheme == "http" || scheme == "https") && !parsed.host().isEmpty();
}

bool AnaUploadAddress::isLoopbackUrl(const QString& url)
{
    if (!isUsableUrl(url))
        return false;
    const QString host = QUrl(url).host();
    if (host.compare("localhost", Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}
