#pragma once

#include <QString>

// The analytics upload address. It comes from the build (the compile
// definition PAV_DEFAULT_ANALYTICS_URL) and may be replaced at run time by
// the shell's --analytics-url, before the crash reporter starts. Empty means
// no address: uploads then end as "no network" and records stay stored.
class AnaUploadAddress {
public:
    static QString defaultUrl();
    static void setDefaultUrl(const QString& url);

    // True for an http or https URL with a host.
    static bool isUsableUrl(const QString& url);
    // True when the URL's host is on this machine (127.0.0.0/8, ::1, localhost).
    static bool isLoopbackUrl(const QString& url);
};
