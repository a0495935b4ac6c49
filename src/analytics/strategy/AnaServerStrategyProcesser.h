#pragma once

#include <mutex>

class Analytics;
class LocalStrategy;
class NSResponsePackage;
class NSUploadStrategyPackage;

// Applies a server answer to the facade's strategy: the gateway and server
// time, the security and upload strategies of commands 7, 8 and 10, then the
// clamp, the store and the modules. A server may only set an http(s) address
// with a host and keys of at least 8 bytes; anything else keeps the old value.
class AnaServerStrategyProcesser {
public:
    static AnaServerStrategyProcesser& sharedInstance();

    bool procees(const NSResponsePackage& response, Analytics& facade);
    bool procees(const NSResponsePackage& response);
    bool analyzeStrategy(const NSResponsePackage& response, Analytics& facade);
    // No package or no module map: switches unchanged; otherwise each of the
    // three switches follows its entry, and an absent entry means off.
    static void updateModuleStrategy(LocalStrategy& strategy, const NSUploadStrategyPackage* package);
    bool applyStrategyToModule(Analytics& facade);

private:
    std::mutex m_mutex;
};
