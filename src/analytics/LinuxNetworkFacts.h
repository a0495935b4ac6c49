#pragma once

#include "analytics/AnaNetworkFacts.h"

// Network facts of this machine: reachability and the cellular kind from
// NetworkHelper (so an injected connection kind holds here too); Wi-Fi is
// the first up interface with a sysfs "wireless" folder (or DEVTYPE=wlan),
// or the configured interface name. No carrier name.
class LinuxNetworkFacts final : public AnaNetworkFacts {
public:
    explicit LinuxNetworkFacts(QString wifiInterface = QString());

    bool readFlags(Flags& flags) const override;
    QString wifiAddress() const override;
    QString carrierName() const override { return QString(); }

private:
    QString m_wifiInterface;
};
