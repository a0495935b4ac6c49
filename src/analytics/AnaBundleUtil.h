#pragma once

#include <QString>

// The application's identity (identifier, name, version, executable name,
// build id), from build-time constants and kept under the key names the
// analytics payload and crash records are built from. A null QString means
// absent.
class AnaBundleUtil {
public:
    static QString getBundleId();        // "CFBundleIdentifier"
    static QString getBundleName();      // "CFBundleName"
    static QString getBundleVersion();   // "CFBundleVersion"
    static QString getBundleExe();       // "CFBundleExecutable"
    static QString getVYTCIBuildUUID();  // "com.corvane.vyt.uuid"

    static QString value(const QString& key);
    // Overrides one key (null removes it); for the shell and tests.
    static void setValue(const QString& key, const QString& value);
};
