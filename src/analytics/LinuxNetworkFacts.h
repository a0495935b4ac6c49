#pragma once

#include "analytics/AnaNetworkFacts.h"

// Network facts from the interface list and sysfs: reachable when some
// interface other than loopback is up and running with an IPv4 address;
// cellular when such an interface is a WWAN device (DEVTYPE=wwan, or named
// wwan*/ppp*); Wi-Fi is the first up interface with a "wireless" folder (or
// DEVTYPE=wlan), or the configured interface name. No carrier name.
class LinuxNetworkFacts final : public AnaNetworkFacts {
public:
    explicit LinuxNetworkFacts(QString wifiInterface = QString());

    bool readFlags(Flags& flags) const override;
    QString wifiAddress() const override;
    QString carrierName() const override { return QString(); }

private:
    QString m_wifiInterface;
};
