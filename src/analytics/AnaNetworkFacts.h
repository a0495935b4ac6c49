#pragma once

#include <QString>

// Where AnaNetworkUtil gets its facts; tests inject their own.
class AnaNetworkFacts {
public:
    struct Flags {
        bool reachable = false;
        bool connectionRequired = false;
        bool cellular = false;
        bool transient = false;
    };

    virtual ~AnaNetworkFacts() = default;
    // False when the flags cannot be read.
    virtual bool readFlags(Flags& flags) const = 0;
    // The dotted IPv4 address of the Wi-Fi interface; null when none.
    virtual QString wifiAddress() const = 0;
    // The cellular carrier's name; null when none.
    virtual QString carrierName() const = 0;
};
