#pragma once

#include "analytics/traffic/AnaCommunicationNetFlowDelegate.h"

#include <QObject>
#include <QString>

#include <memory>
#include <mutex>

class Clock;
class UserDefaults;

// Receives what the traffic recorder counts; nothing sets one in this system.
class AnaNetFlowListener {
public:
    virtual ~AnaNetFlowListener() = default;
    virtual void onNetFlow(const QString& /*url*/, const QString& /*status*/, bool /*isWiFi*/,
                           qint64 /*upFlow*/, qint64 /*downFlow*/) {}
    virtual void onDayNetFlowOverload(const QString& /*day*/, qint64 /*counts*/, qint64 /*upFlow*/,
                                      qint64 /*downFlow*/) {}
};

// Counts the SDK's own traffic per day and per month, apart for Wi-Fi and the
// mobile network, and keeps the figures in the user defaults. A new day or
// month starts both kinds afresh; every figure is written, zero included, so
// a stale value can never be read back under a new day.
class AnaNetFlowRecorder : public AnaCommunicationNetFlowDelegate {
public:
    struct Figures {
        qint64 dayUp = 0, dayDown = 0, dayCount = 0;
        qint64 monthUp = 0, monthDown = 0, monthCount = 0;
    };

    // defaults null: the standard user defaults, looked up at each use.
    AnaNetFlowRecorder(UserDefaults* defaults, const Clock& clock);
    ~AnaNetFlowRecorder() override;

    static AnaNetFlowRecorder& sharedInstance();

    // Makes this recorder the one the transport reports to (or none).
    bool enable(bool on);
    bool isEnabled() const;
    // Reports one exchange to the active recorder, if any.
    static void report(const QString& url, const QString& status, int elapse, bool isWiFi,
                       qint64 upFlow, qint64 downFlow, double reqTime);

    bool loadData();
    bool persistData();
    bool clean();
    bool cleanPersistData();
    void onNetFlowHappened(const QString& url, const QString& status, int elapse, bool isWiFi,
                           qint64 upFlow, qint64 downFlow, double reqTime) override;
    void initResetDayFlowTimer(int seconds);
    void resetDayFlowSwitch();

    qint64 maxDayFlow() const;
    void setMaxDayFlow(qint64 bytes);
    bool dayFlowRetained() const;
    void setFlowListener(AnaNetFlowListener* listener);

    Figures mobile() const;
    Figures wifi() const;
    // The twelve figures one by one: mobile, then Wi-Fi.
    qint64 toDayFlow() const { return mobile().dayUp; }
    qint64 toDayDownFlow() const { return mobile().dayDown; }
    qint64 todayCount() const { return mobile().dayCount; }
    qint64 totalFlow() const { return mobile().monthUp; }
    qint64 totalDownFlow() const { return mobile().monthDown; }
    qint64 totalCount() const { return mobile().monthCount; }
    qint64 toDayWiFiFlow() const { return wifi().dayUp; }
    qint64 toDayDownWiFiFlow() const { return wifi().dayDown; }
    qint64 todayWifiCount() const { return wifi().dayCount; }
    qint64 totalWiFiFlow() const { return wifi().monthUp; }
    qint64 totalDownWiFiFlow() const { return wifi().monthDown; }
    qint64 totalWifiCount() const { return wifi().monthCount; }
    QString dayStr() const;
    QString monthStr() const;

private:
    QString today() const;
    QString thisMonth() const;
    void persistLocked();

    UserDefaults& defaults() const;

    UserDefaults* m_defaultsOverride;
    const Clock& m_clock;
    mutable std::recursive_mutex m_mutex;
    bool m_enabled = false;
    Figures m_mobile;
    Figures m_wifi;
    QString m_dayStr;
    QString m_monthStr;
    qint64 m_maxDayFlow = 2097152;
    bool m_dayFlowRetained = false;
    AnaNetFlowListener* m_listener = nullptr;
    std::unique_ptr<QObject> m_timerOwner;
};
