#include "analytics/transport/AnaNetworkState.h"

#include "analytics/AnaNetworkUtil.h"
#include "analytics/transport/AnaUploadAddress.h"

#include <mutex>

namespace {

std::mutex g_mutex;
AnaNetworkState::Source g_source;

}

AnaNetworkState AnaNetworkState::current()
{
    Source source;
    {
        std::lock_guard lock(g_mutex);
        source = g_source;
    }
    if (source)
        return source();
    AnaNetworkState state;
    // Without an upload address there is no network for the SDK.
    state.available = !AnaUploadAddress::defaultUrl().isEmpty() && AnaNetworkUtil::networkAvaliable();
    state.wlan = state.available && AnaNetworkUtil::activeWLAN();
    state.wwan = state.available && AnaNetworkUtil::activeWWAN();
    return state;
}

void AnaNetworkState::setSource(Source source)
{
    std::lock_guard lock(g_mutex);
    g_source = std::move(source);
}
