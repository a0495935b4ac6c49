#pragma once

#include <functional>

// What the transport needs to know of the network at one moment.
struct AnaNetworkState {
    bool available = false;
    bool wlan = false;
    bool wwan = false;

    using Source = std::function<AnaNetworkState()>;
    // The SDK's own reachability (the upload address counts: a loopback
    // address is reachable, no address is no network).
    static AnaNetworkState current();
    // Tests replace the source; an empty function restores the real one.
    static void setSource(Source source);
};
