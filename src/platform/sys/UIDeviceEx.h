#pragma once

#include <QString>

// Device facts of the original tablet, answered for this machine.
class UIDeviceEx {
public:
    // The machine identifier (uname's machine field, e.g. "x86_64").
    static QString model();
    // The operating system's release (uname's release field).
    static QString systemVersion();
    // The layout is always the tablet's.
    static bool isIpad() { return true; }
    // There is no telephone identity: always the empty string.
    static QString pavImei() { return QString(""); }
    // True when "/private/var/lib/apt/" exists; tested once per process.
    static bool hasAPT();
    // The same test against another folder (uncached).
    static bool hasAPTAt(const QString& directory);
};
