#include "analytics/traffic/AnaNetFlowRecorder.h"

#include "platform/core/Clock.h"
#include "platform/core/MainThread.h"
#include "platform/core/UserDefaults.h"

#include <QCoreApplication>
#include <QDateTime>

namespace {

const char* const kDayKey = "AnaNetFlowDayKey";
const char* const kMonthKey = "AnaNetFlowMonthKey";

// Keys of the six day and six month figures: {mobile, Wi-Fi}.
struct FigureKeys {
    const char* mobile;
    const char* wifi;
    qint64 AnaNetFlowRecorder::Figures::*field;
};

const FigureKeys kDayKeys[] = {
    {"AnaNetFlowDayVal", "AnaNetFlowDayWiFiVal", &AnaNetFlowRecorder::Figures::dayUp},
    {"AnaDownNetFlowDayVal", "AnaDownNetFlowDayWiFiVal", &AnaNetFlowRecorder::Figures::dayDown},
    {"AnaNetFlowDayCountVal", "AnaNetFlowDayCountWiFiVal", &AnaNetFlowRecorder::Figures::dayCount},
};
const FigureKeys kMonthKeys[] = {
    {"AnaNetFlowMonthVal", "AnaNetFlowMonthWiFiVal", &AnaNetFlowRecorder::Figures::monthUp},
    {"AnaDownNetFlowMonthVal", "AnaDownNetFlowMonthWiFiVal", &AnaNetFlowRecorder::Figures::monthDown},
    {"AnaNetFlowMonthCountVal", "AnaNetFlowMonthCountWiFiVal", &AnaNetFlowRecorder::Figures::monthCount},
};

std::mutex g_activeMutex;
AnaCommunicationNetFlowDelegate* g_active = nullptr;   // the transport reports here

template <size_t N>
void readFigures(UserDefaults& d, const FigureKeys (&keys)[N], AnaNetFlowRecorder::Figures& mobile,
                 AnaNetFlowRecorder::Figures& wifi)
{
    for (const auto& k : keys) {
        mobile.*k.field = qint64(d.doubleForKey(k.mobile));
        wifi.*k.field = qint64(d.doubleForKey(k.wifi));
    }
}

template <size_t N>
void writeFigures(UserDefaults& d, const FigureKeys (&keys)[N], const AnaNetFlowRecorder::Figures& mobile,
                  const AnaNetFlowRecorder::Figures& wifi)
{
    for (const auto& k : keys) {
        d.setDouble(k.mobile, double(mobile.*k.field));
        d.setDouble(k.wifi, double(wifi.*k.field));
    }
}

template <size_t N>
void removeFigures(UserDefaults& d, const char* periodKey, const FigureKeys (&keys)[N])
{
    d.removeObjectForKey(periodKey);
    for (const auto& k : keys) {
        d.removeObjectForKey(k.mobile);
        d.removeObjectForKey(k.wifi);
    }
}

}

AnaNetFlowRecorder::AnaNetFlowRecorder(UserDefaults* defaults, const Clock& clock)
    : m_defaultsOverride(defaults), m_clock(clock), m_timerOwner(std::make_unique<QObject>())
{
    if (auto* app = QCoreApplication::instance())
        m_timerOwner->moveToThread(app->thread());
    m_dayStr = today();
    m_monthStr = thisMonth();
}

AnaNetFlowRecorder::~AnaNetFlowRecorder()
{
    std::lock_guard lock(g_activeMutex);
    if (g_active == this)
        g_active = nullptr;
}

AnaNetFlowRecorder& AnaNetFlowRecorder::sharedInstance()
{
    static AnaNetFlowRecorder recorder(nullptr, Clock::system());
    return recorder;
}

UserDefaults& AnaNetFlowRecorder::defaults() const
{
    return m_defaultsOverride ? *m_defaultsOverride : UserDefaults::standardUserDefaults();
}

bool AnaNetFlowRecorder::enable(bool on)
{
    {
        std::lock_guard lock(m_mutex);
        m_enabled = on;
    }
    std::lock_guard lock(g_activeMutex);
    if (on)
        g_active = this;
    else if (g_active == this)
        g_active = nullptr;
    return true;
}

bool AnaNetFlowRecorder::isEnabled() const
{
    std::lock_guard lock(m_mutex);
    return m_enabled;
}

void AnaNetFlowRecorder::report(const QString& url, const QString& status, int elapse, bool isWiFi,
                                qint64 upFlow, qint64 downFlow, double reqTime)
{
    std::lock_guard lock(g_activeMutex);
    if (g_active)
        g_active->onNetFlowHappened(url, status, elapse, isWiFi, upFlow, downFlow, reqTime);
}

QString AnaNetFlowRecorder::today() const
{
    return m_clock.now().toLocalTime().toString(QStringLiteral("yyyy-MM-dd"));
}

QString AnaNetFlowRecorder::thisMonth() const
{
    return m_clock.now().toLocalTime().toString(QStringLiteral("yyyy-MM"));
}

bool AnaNetFlowRecorder::loadData()
{
    std::lock_guard lock(m_mutex);
    m_dayStr = today();
    m_mobile = Figures{};
    m_wifi = Figures{};
    if (defaults().contains(kDayKey)) {
        if (defaults().stringForKey(kDayKey) == m_dayStr)
            readFigures(defaults(), kDayKeys, m_mobile, m_wifi);
        else
            removeFigures(defaults(), kDayKey, kDayKeys);
    }
    m_monthStr = thisMonth();
    if (defaults().contains(kMonthKey)) {
        if (defaults().stringForKey(kMonthKey) == m_monthStr)
            readFigures(defaults(), kMonthKeys, m_mobile, m_wifi);
        else
            removeFigures(defaults(), kMonthKey, kMonthKeys);
    }
    if (m_mobile.dayUp > m_maxDayFlow)
        m_dayFlowRetained = true;
    return true;
}

bool AnaNetFlowRecorder::persistData()
{
    std::lock_guard lock(m_mutex);
    persistLocked();
    return true;
}

void AnaNetFlowRecorder::persistLocked()
{
    if (!m_dayStr.isEmpty()) {
        defaults().setString(kDayKey, m_dayStr);
        writeFigures(defaults(), kDayKeys, m_mobile, m_wifi);
    }
    if (!m_monthStr.isEmpty()) {
        defaults().setString(kMonthKey, m_monthStr);
        writeFigures(defaults(), kMonthKeys, m_mobile, m_wifi);
    }
}

bool AnaNetFlowRecorder::clean()
{
    std::lock_guard lock(m_mutex);
    m_mobile = Figures{};
    m_wifi = Figures{};
    return true;
}

bool AnaNetFlowRecorder::cleanPersistData()
{
    std::lock_guard lock(m_mutex);
    removeFigures(defaults(), kDayKey, kDayKeys);
    removeFigures(defaults(), kMonthKey, kMonthKeys);
    return true;
}

void AnaNetFlowRecorder::onNetFlowHappened(const QString& url, const QString& status, int /*elapse*/,
                                           bool isWiFi, qint64 upFlow, qint64 downFlow, double /*reqTime*/)
{
    AnaNetFlowListener* listener = nullptr;
    bool overload = false;
    Figures mobile;
    QString day;
    {
        std::lock_guard lock(m_mutex);
        if (!m_enabled)
            return;
        const QString nowDay = today();
        if (m_dayStr != nowDay) {
            m_dayStr = nowDay;
            m_mobile.dayUp = m_mobile.dayDown = m_mobile.dayCount = 0;
            m_wifi.dayUp = m_wifi.dayDown = m_wifi.dayCount = 0;
            m_dayFlowRetained = false;
        }
        const QString nowMonth = thisMonth();
        if (m_monthStr != nowMonth) {
            m_monthStr = nowMonth;
            m_mobile.monthUp = m_mobile.monthDown = m_mobile.monthCount = 0;
            m_wifi.monthUp = m_wifi.monthDown = m_wifi.monthCount = 0;
        }
        Figures& f = isWiFi ? m_wifi : m_mobile;
        f.dayUp += upFlow;
        f.dayDown += downFlow;
        f.dayCount += 1;
        f.monthUp += upFlow;
        f.monthDown += downFlow;
        f.monthCount += 1;
        persistLocked();
        listener = m_listener;
        if (listener && !m_dayFlowRetained && m_mobile.dayUp > m_maxDayFlow) {
            overload = true;
            m_dayFlowRetained = true;
        }
        mobile = m_mobile;
        day = m_dayStr;
    }
    if (!listener)
        return;
    listener->onNetFlow(url, status, isWiFi, upFlow, downFlow);
    if (overload) {
        listener->onDayNetFlowOverload(day, mobile.dayCount, mobile.dayUp, mobile.dayDown);
        const QDateTime now = m_clock.now().toLocalTime();
        const QDateTime midnight(now.date().addDays(1), QTime(0, 0));
        initResetDayFlowTimer(int(now.secsTo(midnight)) + 1);
    }
}

void AnaNetFlowRecorder::initResetDayFlowTimer(int seconds)
{
    MainThread::after(seconds * 1000, m_timerOwner.get(), [this] { resetDayFlowSwitch(); });
}

void AnaNetFlowRecorder::resetDayFlowSwitch()
{
    std::lock_guard lock(m_mutex);
    m_dayFlowRetained = false;
}

qint64 AnaNetFlowRecorder::maxDayFlow() const
{
    std::lock_guard lock(m_mutex);
    return m_maxDayFlow;
}

void AnaNetFlowRecorder::setMaxDayFlow(qint64 bytes)
{
    std::lock_guard lock(m_mutex);
    m_maxDayFlow = bytes;
}

bool AnaNetFlowRecorder::dayFlowRetained() const
{
    std::lock_guard lock(m_mutex);
    return m_dayFlowRetained;
}

void AnaNetFlowRecorder::setFlowListener(AnaNetFlowListener* listener)
{
    std::lock_guard lock(m_mutex);
    m_listener = listener;
}

AnaNetFlowRecorder::Figures AnaNetFlowRecorder::mobile() const
{
    std::lock_guard lock(m_mutex);
    return m_mobile;
}

AnaNetFlowRecorder::Figures AnaNetFlowRecorder::wifi() const
{
    std::lock_guard lock(m_mutex);
    return m_wifi;
}

QString AnaNetFlowRecorder::dayStr() const
{
    std::lock_guard lock(m_mutex);
    return m_dayStr;
}

QString AnaNetFlowRecorder::monthStr() const
{
    std::lock_guard lock(m_mutex);
    return m_monthStr;
}
