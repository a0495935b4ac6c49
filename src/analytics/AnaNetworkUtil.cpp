#include "analytics/AnaNetworkUtil.h"

// PLACEHOLDER until the SDK utilities land: only the upload address counts.
#include "analytics/transport/AnaUploadAddress.h"

bool AnaNetworkUtil::networkAvaliable()
{
    return AnaUploadAddress::isLoopbackUrl(AnaUploadAddress::defaultUrl());
}

bool AnaNetworkUtil::activeWLAN()
{
    return false;
}

bool AnaNetworkUtil::activeWWAN()
{
    return false;
}

QString AnaNetworkUtil::getAPN()
{
    return activeWLAN() ? QStringLiteral("WiFi") : QStringLiteral("unknown");
}
