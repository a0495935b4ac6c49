#pragma once

#include <QString>

#include <functional>

class CrashHandler;
class CrashReporter;
class UsageRecorder;
class UserDefaults;

// The application's side of crash reporting: crashReport() is the first
// step of the launch; crashReportCallback is called once a crash is stored
// (at crash time, or at the next launch for a crash left on disk), files
// the attach text and counts the crash day's crashes into usage events.
class PavCrashReportManager {
public:
    static constexpr const char* kProductCode = "9C40E2A7B53D18F6";
    // The version that last deleted the older versions' records.
    static constexpr const char* kCleanedVersionKey = "PavCrashRecordsVersion";

    // defaults null: the standard user defaults; usage null: the shared
    // usage recorder (nothing is recorded while there is none).
    PavCrashReportManager(CrashReporter& reporter, CrashHandler& handler, UserDefaults* defaults = nullptr,
                          UsageRecorder* usage = nullptr);

    static void crashReport();
    void run();
    // The callback's work for the crash being stored.
    int handleCrash();

    // The user number source (the cloud disk's signed-in account); null or
    // empty answers give "none".
    static void setUserNumberSource(std::function<QString()> source);
    void setHasAPT(bool hasAPT) { m_hasAPT = hasAPT; }
    void setDeviceId(const QString& id) { m_deviceId = id; }

    static QString attachText();

private:
    UserDefaults& defaults() const;

    CrashReporter& m_reporter;
    CrashHandler& m_handler;
    UserDefaults* m_defaults;
    UsageRecorder* m_usage;
    bool m_hasAPT;
    QString m_deviceId;
};

int crashReportCallback(int flag);
