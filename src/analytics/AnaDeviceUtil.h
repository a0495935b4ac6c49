#pragma once

#include <QString>
#include <cstdint>

// Device facts from Linux sources: the machine identifier (configured, else
// UIDeviceEx's), the host name as the device name, uname and os-release
// for the system, statvfs, sysconf, procfs and sysfs for the rest.
class AnaDeviceUtil {
public:
    static constexpr int kUnknownModel = 65535;

    static QString model();
    static int modelType();
    static QString modelName();
    static QString getDeviceName();
    static QString getDeviceModel();
    static QString getOSName();
    static QString getOSModel();
    static QString systemVersion();
    static QString get_sys_buildver();
    static QString getOSVersion();
    static double getTime();
    static QString getCurrentTime();
    static float getFreeSpace();
    static float getFreeSDCard();
    static float getFreeMemory();
    static float getCpuUsage();
    static int getBatteryLevel();
    static bool isArmV6();
    static bool isOS3();

    // Pure parts, for tests.
    static int modelTypeFor(const QString& identifier, bool tabletIdiom);
    static QString modelNameFor(int type, const QString& identifier);
    static QString osVersionText(const QString& version, const QString& build);
    struct CpuTicks {
        uint64_t user = 0, system = 0, idle = 0, nice = 0;
    };
    static float cpuUsageBetween(const CpuTicks& before, const CpuTicks& now);
    // "BUILD_ID", else "VERSION_ID" of an os-release text; "" when neither.
    static QString buildFromOsRelease(const QByteArray& text);
    // The number a text starts with, as a float (0 when none): "6.1.0-18" → 6.1.
    static float leadingFloat(const QString& text);
    // Battery level from a level in 0..1 (or -1.0 when unknown).
    static int batteryPercent(double level);

    // Configuration: the machine identifier (null = uname's machine).
    static void setModel(const QString& identifier);
};
