#pragma once

#include <QString>

// The analytics upload address. It comes from the build (the compile
// definition PAV_DEFAULT_ANALYTICS_URL) and may be replaced at run time by
// the shell's --analytics-url, before the crash reporter starts. An address
// given without a path gets the upload path, "/analytics/upload". Empty means
// no address: uploads then end as "no network" and records stay stored.
class AnaUploadAddress {
public:
    static constexpr const char* kUploadPath = "/analytics/upload";

    static QString defaultUrl();
    static void setDefaultUrl(const QString& url);
    // The URL with the upload path when it has none (or only "/"); any other
    // text as it is.
    static QString withUploadPath(const QString& url);

    // True for an http or https URL with a host.
    static bool isUsableUrl(const QString& url);
    // True when the URL's host is on this machine (127.0.0.0/8, ::1, localhost).
    static bool isLoopbackUrl(const QString& url);
};
