#include "analytics/transport/AnaNetworkState.h"

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
    // PLACEHOLDER until the SDK utilities land: only the upload address.
    AnaNetworkState state;
    state.available = AnaUploadAddress::isLoopbackUrl(AnaUploadAddress::defaultUrl());
    return state;
}

void AnaNetworkState::setSource(Source source)
{
    std::lock_guard lock(g_mutex);
    g_source = std::move(source);
}
