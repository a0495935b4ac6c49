#include "crashhandler/PavCrashReportManager.h"

#include "analytics/AnaBundleUtil.h"
#include "crashhandler/CrashHandler.h"
#include "crashhandler/CrashReporter.h"
#include "platform/core/UsageRecorder.h"
#include "platform/core/UserDefaults.h"
#include "platform/core/VersionOrder.h"
#include "platform/sys/CustomUDID.h"
#include "platform/sys/UIDeviceEx.h"

#include <QDateTime>

#include <atomic>
#include <mutex>

namespace {

std::atomic<PavCrashReportManager*> g_armed{nullptr};
std::mutex g_sourceMutex;
std::function<QString()> g_userNumberSource;

constexpr int kManyCrashesADay = 10;

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
        defaults().setString(kCleanedVersionKey, version);
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

    m_reporter.install(userNumber, true);
    m_reporter.setGUID(m_deviceId);
}

QString PavCrashReportManager::attachText()
{
    return QString("lc=%1&ver=%2&system=%3&model=%4")
        .arg(kProductCode, AnaBundleUtil::getBundleVersion(), UIDeviceEx::systemVersion(), UIDeviceEx::model());
}

int PavCrashReportManager::handleCrash()
{
    const CrashHandler::CurrentCrash crash = m_handler.currentCrash();
    m_reporter.setAttachLog(attachText());

    // The crash's own day, in seconds since 1970, kept as 64 bits.
    const QDate day = QDateTime::fromMSecsSinceEpoch(crash.time).toLocalTime().date();
    const qint64 today = QDateTime(day, QTime(0, 0), Qt::LocalTime).toSecsSinceEpoch();
    qint64 count = 1;
    if (defaults().contains("PavCrashDate") && defaults().integerForKey("PavCrashDate") == today) {
        count = defaults().integerForKey("PavCrashCount") + 1;
    } else {
        defaults().setInteger("PavCrashDate", today);
    }
    defaults().setInteger("PavCrashCount", count);

    UsageRecorder* usage = m_usage ? m_usage : UsageRecorder::shared();
    if (!usage)
        return 1;
    if (count > kManyCrashesADay) {
        usage->insertRecordForType(UsageEventManyCrashes);
        if (!m_hasAPT)
            usage->insertRecordForType(UsageEventManyCrashesNoApt);
    } else {
        usage->insertRecordForType(UsageEventCrash);
        if (!m_hasAPT)
            usage->insertRecordForType(UsageEventCrashNoApt);
        if (crash.active) {
            usage->insertRecordForType(UsageEventCrashWhileActive);
            if (!m_hasAPT)
                usage->insertRecordForType(UsageEventCrashWhileActiveNoApt);
        }
    }
    usage->revertExCrash();
    return 1;
}

int crashReportCallback(int)
{
    if (PavCrashReportManager* manager = g_armed.load())
        return manager->handleCrash();
    return 1;
}
