#include "crashhandler/PavCrashReportManager.h"

#include "analytics/AnaBundleUtil.h"
#include "analytics/facade/AnalyticsOperationCenter.h"
#include "analytics/transport/AnaNetWorkHandlerQueue.h"
#include "crashhandler/CrashHandler.h"
#include "crashhandler/CrashReporter.h"
#include "platform/core/Clock.h"
#include "platform/core/UsageRecorder.h"
#include "platform/core/UserDefaults.h"
#include "platform/core/VersionOrder.h"
#include "platform/sys/CustomUDID.h"
#include "platform/sys/UIDeviceEx.h"

#include <QDateTime>

#include <atomic>
#include <mutex>
#include <vector>

namespace {

std::atomic<PavCrashReportManager*> g_armed{nullptr};
std::mutex g_sourceMutex;
std::function<QString()> g_userNumberSource;

constexpr int kManyCrashesADay = 10;

// Counts the crash into its own day, once: a crash counted before keeps the
// count it got. Works on the defaults as stored (numbers may be doubles).
qint64 countCrash(QVariantMap& values, const CrashHandler::CurrentCrash& crash)
{
    QVariantMap counted = values.value(PavCrashReportManager::kCountedKey).toMap();
    const QString key = QString::number(crash.time);
    if (counted.contains(key))
        return qint64(counted.value(key).toDouble());
    // The crash's own day, in seconds since 1970, kept as 64 bits.
    const QDate day = QDateTime::fromMSecsSinceEpoch(crash.time).toLocalTime().date();
    const qint64 today = QDateTime(day, QTime(0, 0), Qt::LocalTime).toSecsSinceEpoch();
    qint64 count = 1;
    if (values.contains("PavCrashDate") && qint64(values.value("PavCrashDate").toDouble()) == today)
        count = qint64(values.value("PavCrashCount").toDouble()) + 1;
    else
        values.insert("PavCrashDate", today);
    values.insert("PavCrashCount", count);
    counted.insert(key, count);
    // Keys of equal length order as their times do: the oldest go first.
    while (counted.size() > PavCrashReportManager::kKeptCounted)
        counted.erase(counted.begin());
    values.insert(PavCrashReportManager::kCountedKey, counted);
    return count;
}

}

PavCrashReportManager::PavCrashReportManager(CrashReporter& reporter, CrashHandler& handler, UserDefaults* defaults,
                                             UsageRecorder* usage)
    : m_reporter(reporter), m_handler(handler), m_defaults(defaults), m_usage(usage), m_hasAPT(UIDeviceEx::hasAPT())
{
}

UserDefaults& PavCrashReportManager::defaults() const
{
    return m_defaults ? *m_defaults : UserDefaults::standardUserDefaults();
}

void PavCrashReportManager::setUserNumberSource(std::function<QString()> source)
{
    std::lock_guard lock(g_sourceMutex);
    g_userNumberSource = std::move(source);
}

void PavCrashReportManager::crashReport()
{
    static PavCrashReportManager* manager = [] {
        CrashReporter& reporter = CrashReporter::sharedInstance();
        auto* made = new PavCrashReportManager(reporter, CrashHandler::sharedInstance());
        made->setDeviceId(CustomUDID::udidWithWifiMacAddressAndDeviceModelMD5());
        return made;
    }();
    manager->run();
}

void PavCrashReportManager::run()
{
    g_armed.store(this);
    crashCallback.store(&crashReportCallback);

    // A newer version starts with no records of older ones. The version that
    // cleaned last is kept under its own key, written as it cleans: a crash
    // early in a version's first launch (before "PavLastVersion" is
    // written) is kept, and so are a newer version's records after a
    // downgrade.
    const QString version = AnaBundleUtil::getBundleVersion();
    const QString cleaned = defaults().contains(kCleanedVersionKey) ? defaults().stringForKey(kCleanedVersionKey) : QString();
    if (VersionOrder::isOlder(cleaned, version)) {
        m_reporter.cleanCrashRecord();
        const qint64 now = m_handler.clock().now().toSecsSinceEpoch();
        defaults().update([&](QVariantMap& values) {
            values.insert(kCleanedVersionKey, version);
            values.insert(kCleanedTimeKey, now);
        });
    }
    // Crashes left on disk by earlier runs become records, oldest first;
    // those of an older version go with the clean-up.
    m_handler.convertPendingCrashes(version);

    QString userNumber;
    {
        std::lock_guard lock(g_sourceMutex);
        if (g_userNumberSource)
            userNumber = g_userNumberSource();
    }
    if (userNumber.isEmpty())
        userNumber = "none";

    // A stop asked during the conversion starts no upload: the records wait
    // for the next launch.
    m_reporter.install(userNumber, !m_handler.stopRequested());
    m_reporter.setGUID(m_deviceId);
}

void PavCrashReportManager::shutdown()
{
    if (PavCrashReportManager* manager = g_armed.load())
        manager->m_handler.requestStop();
    AnalyticsOperationCenter::sharedInstance().shutdown();
    AnaNetWorkHandlerQueue::sharedInstance().shutdown();
}

void PavCrashReportManager::removePreviousVersionCrashCounters()
{
    if (PavCrashReportManager* manager = g_armed.load())
        manager->removeEarlierVersionsCrashCounters();
}

void PavCrashReportManager::removeEarlierVersionsCrashCounters()
{
    // Without the time this version started, nothing is known to be older.
    UsageRecorder* usage = m_usage ? m_usage : UsageRecorder::shared();
    if (!usage || !defaults().contains(kCleanedTimeKey))
        return;
    usage->removeCrashRecordsBefore(defaults().integerForKey(kCleanedTimeKey));
}

QString PavCrashReportManager::attachText(const QString& version)
{
    return QString("lc=%1&ver=%2&system=%3&model=%4")
        .arg(kProductCode, version.isEmpty() ? AnaBundleUtil::getBundleVersion() : version, UIDeviceEx::systemVersion(),
             UIDeviceEx::model());
}

int PavCrashReportManager::handleCrash()
{
    const CrashHandler::CurrentCrash crash = m_handler.currentCrash();
    m_reporter.setAttachLog(attachText(crash.version));

    const int waitMs = crash.atCrashTime ? CrashHandler::kCrashLockWaitMs : -1;
    UserDefaults* target = m_defaults ? m_defaults : UserDefaults::tryStandardUserDefaults(waitMs);
    qint64 count = 0;
    if (!target || !target->update([&](QVariantMap& values) { count = countCrash(values, crash); }, waitMs))
        return 0;

    UsageRecorder* usage = m_usage ? m_usage : UsageRecorder::shared();
    if (!usage)
        return 1;
    std::vector<int> events;
    if (count > kManyCrashesADay) {
        events.push_back(UsageEventManyCrashes);
        if (!m_hasAPT)
            events.push_back(UsageEventManyCrashesNoApt);
    } else {
        events.push_back(UsageEventCrash);
        if (!m_hasAPT)
            events.push_back(UsageEventCrashNoApt);
        if (crash.active) {
            events.push_back(UsageEventCrashWhileActive);
            if (!m_hasAPT)
                events.push_back(UsageEventCrashWhileActiveNoApt);
        }
    }
    const bool recorded = usage->insertCrashRecords(crash.time, events);
    usage->revertExCrash();
    return recorded ? 1 : 0;
}

int crashReportCallback(int)
{
    if (PavCrashReportManager* manager = g_armed.load())
        return manager->handleCrash();
    return 1;
}
