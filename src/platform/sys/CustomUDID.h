#pragma once

#include <QString>

// The device id: the lower-case hexadecimal MD5 of the Wi-Fi hardware
// address and the machine identifier.
class CustomUDID {
public:
    // Computed once per process; never empty.
    static QString udidWithWifiMacAddressAndDeviceModelMD5();

    // The digest input is the hardware address as upper-case hexadecimal
    // pairs joined by colons ("0A:1B:2C:3D:4E:5F") followed directly by the
    // machine identifier, as UTF-8.
    static QString udidFor(const QString& hardwareAddress, const QString& machine);

    // The hardware address of the first wireless interface, else of the
    // first other non-loopback interface that has one (by name);
    // "02:00:00:00:00:00" when there is none.
    static QString wifiHardwareAddress();
};
