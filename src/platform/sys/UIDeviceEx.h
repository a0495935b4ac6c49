#pragma once

#include <QString>

// Facts about the machine the application runs on, as the analytics payload
// and the crash records report them.
class UIDeviceEx {
public:
    // The machine identifier (uname's machine field, e.g. "x86_64").
    static QString model();
    // The operating system's release (uname's release field).
    static QString systemVersion();
    // The screens always use the large landscape layout.
    static bool isIpad() { return true; }
    // There is no telephone identity: always the empty string.
    static QString pavImei() { return QString(""); }
    // True when "/private/var/lib/apt/" exists (on an ordinary Linux machine
    // it does not, so crash usage counts the "no APT" events); tested once
    // per process.
    static bool hasAPT();
    // The same test against another folder (uncached).
    static bool hasAPTAt(const QString& directory);
};
