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
// Each crash is counted once, under its time: the count with its key in one
// save of the defaults, the events with their key in the usage store. At
// crash time the defaults are waited for only briefly; what could not be
// done then is done by the launch that converts the crash.
class PavCrashReportManager {
public:
    static constexpr const char* kProductCode = "9C40E2A7B53D18F6";
    // The version that last deleted the older versions' records, and when
    // (seconds since 1970): that version's crash events are those since.
    static constexpr const char* kCleanedVersionKey = "PavCrashRecordsVersion";
    static constexpr const char* kCleanedTimeKey = "PavCrashRecordsVersionTime";
    // Crash time (ms, as text) → the day's count it got, for the latest crashes.
    static constexpr const char* kCountedKey = "PavCrashCounted";
    static constexpr int kKeptCounted = 64;

    // defaults null: the standard user defaults; usage null: the shared
    // usage recorder (nothing is recorded while there is none).
    PavCrashReportManager(CrashReporter& reporter, CrashHandler& handler, UserDefaults* defaults = nullptr,
                          UsageRecorder* usage = nullptr);

    static void crashReport();
    void run();
    // The application ends: no upload starts from now on, and the SDK's
    // queues (the upload's) are cancelled and joined, a running exchange
    // aborted. Main thread, before main returns.
    static void shutdown();
    // The callback's work for the crash being stored: 1 when done, 0 when
    // the count or its events must wait for the next launch.
    int handleCrash();
    // The launch's version check found a newer version than the last
    // launch's: removes the crash usage events of earlier versions (those
    // this version counted already stay). Runs on the armed manager.
    static void removePreviousVersionCrashCounters();
    void removeEarlierVersionsCrashCounters();

    // The user number source (the cloud disk's signed-in account); null or
    // empty answers give "none".
    static void setUserNumberSource(std::function<QString()> source);
    void setHasAPT(bool hasAPT) { m_hasAPT = hasAPT; }
    void setDeviceId(const QString& id) { m_deviceId = id; }

    // The attach text of a crash of the given version (empty: this one's).
    static QString attachText(const QString& version = {});

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
