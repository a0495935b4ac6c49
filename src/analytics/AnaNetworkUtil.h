#pragma once

#include "analytics/AnaNetworkFacts.h"

#include <QString>

// Reachability and addresses. The flags of the latest check are kept
// process-wide (under a lock) for activeWWAN, is2G and activeWLAN.
class AnaNetworkUtil {
public:
    static bool networkAvaliable();
    static void pingReachabliltyInternal();
    static bool activeWWAN();
    static bool is2G();
    static bool activeWLAN();
    static QString localWiFiIPAddress();
    // "WiFi", "unknown", or "<escaped carrier>;2G|3G".
    static QString getAPN();
    static QString localHostname();    // "<host>.local"
    static QString localIPAddress();
    static QString ipForHost(const QString& url);
    static QString getDNSServerIP() { return "0.0.0.0"; }
    // The text fetched from the URL (blocking), or why the fetch failed.
    static QString addressFromURL(const QString& url);

    // Replaces the facts source (tests); null restores the system's.
    static void setFacts(const AnaNetworkFacts* facts);
};
