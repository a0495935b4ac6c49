#pragma once

// PLACEHOLDER until the SDK utilities land.
#include <QString>

class AnaNetworkUtil {
public:
    static bool networkAvaliable();
    static bool activeWLAN();
    static bool activeWWAN();
    static QString getAPN();
};
