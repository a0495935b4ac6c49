#pragma once

#include <QString>

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

class AnaModel;
class AnaModule;
class AnaSqlitePersistHandler;
class AnaUploadConfirmer;
class AnalyticsOperationCenter;
class AnaNetWorkHandlerQueue;
class Clock;
class LocalStrategy;
class QObject;
class QTimer;
class UserDefaults;

// The SDK's entry object: the current strategy (an immutable snapshot that
// is swapped whole), the recording modules, the user's switches, the status
// and, once a host enables it, the local services and their timers. In this
// system nothing enables it: the crash path only reads the strategy.
class Analytics {
public:
    struct Collaborators {
        AnaSqlitePersistHandler* store = nullptr;
        UserDefaults* defaults = nullptr;
        const Clock* clock = nullptr;
        AnalyticsOperationCenter* operations = nullptr;
        AnaNetWorkHandlerQueue* handlers = nullptr;
    };

    static constexpr const char* kVersionHashKey = "ana_ver_hash";
    static constexpr const char* kInitialQueryHandlerKey = "AnaInitialQueryHandlerKey";
    static constexpr const char* kMixDataUploadHanderKey = "AnaMixDataUploadHanderKey";

    // Null collaborators take the process-wide ones when first needed.
    Analytics();
    explicit Analytics(Collaborators collaborators);
    ~Analytics();

    // The process-wide facade (tests may put their own in its place).
    static Analytics& getDefualtAnalytics();
    static void setDefaultForTesting(Analytics* facade);

    std::shared_ptr<const LocalStrategy> strategy() const;
    void setStrategy(std::shared_ptr<const LocalStrategy> strategy);

    bool analyticsEnabled() const { return m_analyticsEnabled.load(); }
    bool userEnableSpeedtrack() const { return m_userEnableSpeedtrack.load(); }
    void setUserEnableSpeedtrack(bool v) { m_userEnableSpeedtrack = v; }
    bool userEnableEventUpload() const { return m_userEnableEventUpload.load(); }
    void setUserEnableEventUpload(bool v) { m_userEnableEventUpload = v; }
    bool userEnableCrashLog() const { return m_userEnableCrashLog.load(); }
    void setUserEnableCrashLog(bool v) { m_userEnableCrashLog = v; }
    bool enableBeforeServerStrategy() const { return m_enableBeforeServerStrategy.load(); }
    void setEnableBeforeServerStrategy(bool v) { m_enableBeforeServerStrategy = v; }
    bool cleanAfterFetch() const { return m_cleanAfterFetch.load(); }
    void setCleanAfterFetch(bool v) { m_cleanAfterFetch = v; }
    bool sdkMonitorEnabled() const { return m_sdkMonitorEnabled.load(); }
    void setSdkMonitorEnabled(bool v) { m_sdkMonitorEnabled = v; }
    int workType() const { return m_workType.load(); }
    int status() const { return m_status.load(); }
    void setStatus(int status) { m_status = status; }

    std::vector<std::shared_ptr<AnaModule>> anaModules() const;
    void addModule(std::shared_ptr<AnaModule> module);
    std::shared_ptr<AnaUploadConfirmer> uploadConfirmer() const;
    void setUploadConfirmer(std::shared_ptr<AnaUploadConfirmer> confirmer);

    // Milliseconds since 1970 (kept where the crash writer can read them).
    static int64_t startTime();
    static int64_t serverInitTime();
    static int64_t backGroundTime();
    static int64_t resumeTime();
    // Sets serverInitTime to now unless it is already set.
    void markServerInitTime();

    bool enableAnlytics(int workType, const QString& uin, const QString& gatewayIP);
    bool initLocalService();
    void startRefreshNetfnfoTimer();
    void initTimer();
    void onAsynRefreshNetInfoCallBack();
    void refreshNetInfo();
    void checkDBEnv();
    long getVersionHash() const;
    void saveVersionHash(long hash);

    bool fetchLocalStrategy();
    bool fetchServerStrategy();
    void doRefreshStrategy();
    void cleanAnalytics();

    AnaSqlitePersistHandler& store();
    UserDefaults& defaults();
    const Clock& clock() const;
    AnalyticsOperationCenter& operations();
    AnaNetWorkHandlerQueue& handlers();

private:
    void switchModulesOff();

    Collaborators m_collaborators;
    mutable std::recursive_mutex m_mutex;
    std::shared_ptr<const LocalStrategy> m_strategy;
    std::vector<std::shared_ptr<AnaModule>> m_modules;
    std::shared_ptr<AnaUploadConfirmer> m_confirmer;
    std::atomic<bool> m_analyticsEnabled{false};
    std::atomic<bool> m_userEnableSpeedtrack{false};
    std::atomic<bool> m_userEnableEventUpload{false};
    std::atomic<bool> m_userEnableCrashLog{false};
    std::atomic<bool> m_enableBeforeServerStrategy{true};
    std::atomic<bool> m_cleanAfterFetch{false};
    std::atomic<bool> m_sdkMonitorEnabled{true};
    std::atomic<int> m_workType{-1};
    std::atomic<int> m_status{0};
    std::unique_ptr<QObject> m_timerHost;   // lives on the main thread
    QTimer* m_netInfoTimer = nullptr;       // main thread only
    QTimer* m_refreshTimer = nullptr;       // main thread only
};
