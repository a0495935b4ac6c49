#pragma once

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
class AnaNetFlowRecorder {
public:
    struct Figures {
        qint64 dayUp = 0, dayDown = 0, dayCount = 0;
        qint64 monthUp = 0, monthDown = 0, monthCount = 0;
    };

    // defaults null: the standard user defaults, looked up at each use.
    AnaNetFlowRecorder(UserDefaults* defaults, const Clock& clock);
    ~AnaNetFlowRecorder();

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
                           qint64 upFlow, qint64 downFlow, double reqTime);
    void initResetDayFlowTimer(int seconds);
    void resetDayFlowSwitch();

    qint64 maxDayFlow() const;
    void setMaxDayFlow(qint64 bytes);
    bool dayFlowRetained() const;
    void setFlowListener(AnaNetFlowListener* listener);

    Figures mobile() const;
    Figures wifi() const;
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
