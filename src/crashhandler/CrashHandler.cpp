#include "crashhandler/CrashHandler.h"

#include "analytics/ANAPersistPropRange.h"
#include "analytics/AnaDeviceUtil.h"
#include "analytics/AnaEncryptUtil.h"
#include "analytics/AnaNetworkUtil.h"
#include "crashhandler/AllocatorFrames.h"
#include "crashhandler/CBugReport.h"
#include "codec/UrlEscape.h"
#include "crashhandler/CrashAttachFile.h"
#include "crashhandler/CrashInstall.h"
#include "crashhandler/CrashReportData.h"
#include "crashhandler/CrashState.h"
#include "crashhandler/PendingCrash.h"
#include "crashhandler/CrashFolderFile.h"
#include "crashhandler/SignalNames.h"
#include "platform/core/Clock.h"
#include "platform/core/UserDefaults.h"
#include "platform/core/VersionOrder.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <iterator>
#include <limits>


std::atomic<CrashCallback> crashCallback{nullptr};

namespace {

const char* const kLastCrashTimeKey = "last_crash_time";
const char* const kTimesLog = "crash_times.log";
constexpr int8_t kAttachmentType = 11;

std::string utf8(const QString& text)
{
    return text.toStdString();
}

QString orNil(const QByteArray& value)
{
    return value.isEmpty() ? QStringLiteral("nil") : QString::fromUtf8(value);
}

exceptionupload::Attachment attachment(const char* name, const QByteArray& data)
{
    exceptionupload::Attachment a;
    a.type = kAttachmentType;
    a.fileName = name;
    a.data.assign(data.begin(), data.end());
    return a;
}

}

CrashHandler::CrashHandler(AnaSqlitePersistHandler& store, const Clock& clock, QString crashDirectory,
                           UserDefaults* defaults)
    : m_store(store), m_clock(clock), m_directory(std::move(crashDirectory)), m_defaults(defaults)
{
    m_wlanProbe = &AnaNetworkUtil::activeWLAN;
    AllocatorFrames::prepare();
}

CrashHandler& CrashHandler::sharedInstance()
{
    static CrashHandler* handler =
        new CrashHandler(AnaSqlitePersistHandler::getDefaultHandler(), Clock::system(), QString::fromUtf8(crashDirectory()));
    return *handler;
}

UserDefaults& CrashHandler::defaults() const
{
    return m_defaults ? *m_defaults : UserDefaults::standardUserDefaults();
}

void CrashHandler::crashRecordStep(const CrashReportData&)
{
    sharedInstance().saveCrashData();
}

bool CrashHandler::saveCrashData()
{
    const CrashState& state = CrashState::instance();
    if (!state.factsName.isSet() || state.factsName.size() == 0)
        return false;
    // Once per crash: a later pass of the same crash comes from a fault in
    // this step, which is not run again (the next launch finishes it).
    static std::atomic<bool> ran{false};
    if (ran.exchange(true))
        return false;
    // A crash inside the allocator may hold its lock, and everything below
    // allocates.
    if (AllocatorFrames::inStack(CrashReportData::expData().errorStack.c_str()))
        return false;
    // Never wait for the handler here: whoever holds it may be the reason
    // for the crash.
    std::unique_lock handlerLock(m_mutex, std::try_to_lock);
    if (!handlerLock.owns_lock())
        return false;
    // The facts file keeps its name: a later pass of this crash rewrites
    // that one file, so one crash never leaves two.
    PendingCrash pending(QDir(m_directory).filePath(QString::fromUtf8(state.factsName.c_str())));
    bool stored = false;
    return storeCrash(pending, true, &stored) == Outcome::Done;
}

int CrashHandler::convertPendingCrashes(const QString& keptFromVersion)
{
    // While a thread of this process writes its crash, nothing here is ours
    // to take: its files are growing, and the process is ending anyway.
    const auto crashing = [] { return CrashState::instance().ownerTid.load() != 0; };
    int stored = 0;
    m_storeRefused = false;
    for (const QString& path : PendingCrash::list(m_directory)) {
        // A store that refused one crash refuses the rest: they wait for the
        // next launch rather than each waiting on the store.
        if (crashing() || m_storeRefused || stopRequested())
            return stored;
        PendingCrash pending(path);
        const CrashFacts::Contents contents = pending.contents();
        const Facts& facts = contents.fields;
        if (contents.refused) {
            pending.setAside("cannot be read (a symbolic link, not a regular file, or unreadable)");
            continue;
        }
        if (contents.damaged || writtenInTheFuture(facts)) {
            pending.setAside();
            continue;
        }
        if (pending.writerIsAlive(facts))
            continue;
        const QString version = QString::fromUtf8(facts.value("appVersion"));
        if (!keptFromVersion.isEmpty() && !version.isEmpty() && VersionOrder::isOlder(version, keptFromVersion))
            pending.discard();
        else
            stored += convertCrash(path) ? 1 : 0;
    }
    if (!crashing())
        PendingCrash::removeEmptyReports(m_directory);
    return stored;
}

bool CrashHandler::writtenInTheFuture(const Facts& facts) const
{
    bool known = false;
    const qint64 time = facts.value("time").toLongLong(&known);
    // The writer took the real clock, as the start times of processes do.
    return known && time > QDateTime::currentMSecsSinceEpoch() + kFutureAllowanceMs;
}

bool CrashHandler::convertCrash(const QString& factsPath)
{
    PendingCrash pending(factsPath);
    if (pending.attemptsUsedUp()) {
        // Its conversions crashed this program: it is kept, out of the way.
        pending.setAside("were being converted each time this program crashed");
        return false;
    }
    if (!pending.beginConversion())
        return false;   // left as it is for the next launch
    bool stored = false;
    Outcome outcome;
    {
        const struct Converting {
            PendingCrash& pending;
            ~Converting() { pending.endConversion(); }
        } converting{pending};
        outcome = storeCrash(pending, false, &stored);
    }
    if (outcome == Outcome::Unusable)
        pending.setAside("hold no crash (no type, no signal)");
    return stored;
}

CrashHandler::Outcome CrashHandler::storeCrash(PendingCrash& pending, bool atCrashTime, bool* stored)
{
    const CrashFacts::Contents contents = pending.contents();
    if (contents.fields.isEmpty() && !contents.damaged && !contents.refused) {
        // Nothing got written (a full disk): there is nothing to store.
        // Facts emptied beside a written report are kept (set aside).
        return pending.discardUnwritten() ? Outcome::Discarded : Outcome::Unusable;
    }
    const Facts facts = withSignalNames(contents.fields);
    if (contents.refused || facts.value("type").isEmpty())
        return Outcome::Unusable;
    auto record = buildRecord(facts, pending);
    if (atCrashTime && !m_store.tryEnterForCrash())
        return Outcome::Left;
    bool inStore = false;
    if (m_store.isInited() || m_store.initDB(nullptr)) {
        inStore = isStoredAlready(*record);
        if (!inStore)
            inStore = *stored = persistCrashToDB(record);
    }
    if (atCrashTime)
        m_store.leaveForCrash();
    if (!inStore) {
        m_storeRefused = m_storeRefused || !atCrashTime;
        return Outcome::Left;
    }
    // Stored: its reports go; the facts stay until the crash is followed up.
    pending.removeReports(facts);
    if (!followUp(facts, record->cashTime, atCrashTime))
        return Outcome::Left;
    pending.discard();
    return Outcome::Done;
}

CrashHandler::Facts CrashHandler::withSignalNames(Facts facts)
{
    if (!facts.value("type").isEmpty())
        return facts;
    bool known = false;
    const int signal = facts.value("signal").toInt(&known);
    if (!known || std::find(std::begin(CBugReport::kSignals), std::end(CBugReport::kSignals), signal) ==
                      std::end(CBugReport::kSignals))
        return facts;
    bool codeKnown = false;
    const int code = facts.value("code").toInt(&codeKnown);
    char names[SignalNames::kBufferSize];
    const char* signalName = "";
    const char* codeName = "";
    SignalNames::map_sig_name(signal, code, names, &signalName, &codeName);
    facts.insert("type", signalName);
    if (codeKnown && !facts.contains("error"))
        facts.insert("error", codeName);
    return facts;
}

bool CrashHandler::followUp(const Facts& facts, int64_t time, bool atCrashTime)
{
    bool done = raiseLastCrashTime(time, atCrashTime ? kCrashLockWaitMs : -1);
    // Defaults held at crash time (perhaps by the crashed thread): the
    // callback could not count either. The next launch does it all.
    if (!done && atCrashTime)
        return false;
    {
        std::lock_guard lock(m_mutex);
        m_current.time = time;
        m_current.address = QString::fromUtf8(facts.value("address"));
        m_current.active = facts.value("active") == "1";
        m_current.shortNames = QString::fromUtf8(facts.value("crashStackShortNames")).split('\n', Qt::SkipEmptyParts);
        m_current.version = QString::fromUtf8(facts.value("appVersion"));
        m_current.atCrashTime = atCrashTime;
    }
    if (CrashCallback callback = crashCallback.load())
        done = callback(1) == 1 && done;
    return done;
}

bool CrashHandler::isStoredAlready(const NSExpUpload& record)
{
    const auto stored = getCrashWithMD5(record.md5());
    if (!stored)
        return false;
    if (stored->cashTime == record.cashTime)
        return true;
    for (const auto& a : stored->attachmentList) {
        if (a.fileName != kTimesLog)
            continue;
        const QByteArray times(reinterpret_cast<const char*>(a.data.data()), qsizetype(a.data.size()));
        if (times.split(';').contains(QByteArray::number(qlonglong(record.cashTime))))
            return true;
    }
    return false;
}

std::shared_ptr<NSExpUpload> CrashHandler::buildRecord(const Facts& facts, const PendingCrash& files) const
{
    auto record = std::make_shared<NSExpUpload>();
    const int64_t time = facts.value("time").toLongLong();
    record->setPriority(1);
    record->setTime(time);
    record->cashTime = time;
    record->exceptionType = facts.value("type").toStdString();
    record->excepitonAddress = facts.value("address").toStdString();
    const QString hashInput = QString::fromUtf8(facts.value("appId")) + QString::fromUtf8(facts.value("appVersion")) +
                              orNil(facts.value("type")) + orNil(facts.value("address"));
    const QString hash = AnaEncryptUtil::MD5(hashInput);
    record->hash = utf8(hash);
    record->setMd5(keyForHash(hash));
    record->setCount(0);
    record->threadName = utf8(orNil(facts.value("thread")));
    record->callStack = utf8(orNil(facts.value("errorStack")));
    record->causedBy = utf8(orNil(facts.value("error")));

    // The run facts of the crash's own moment; reports of older builds
    // carry none and take today's.
    const auto run = [&facts](const char* key, auto now) {
        using Value = decltype(now);
        bool ok = false;
        const double value = facts.value(key).toDouble(&ok);
        // A value the type cannot hold (or not a number) is not converted.
        const bool fits = value >= double(std::numeric_limits<Value>::lowest()) &&
                          value < double(std::numeric_limits<Value>::max());
        return ok && fits ? Value(value) : now;
    };
    record->runInfo.cpu = run("cpu", AnaDeviceUtil::getCpuUsage());
    record->runInfo.battery = run("battery", float(AnaDeviceUtil::getBatteryLevel()));
    record->runInfo.freeMem = run("freeMem", int64_t(AnaDeviceUtil::getFreeMemory()));
    record->runInfo.freeStorage = run("freeStorage", int64_t(AnaDeviceUtil::getFreeSpace()));
    record->runInfo.freeSDCard = run("freeSDCard", int64_t(AnaDeviceUtil::getFreeSDCard()));

    record->mobileInfo.symbol = utf8(orNil(facts.value("guid")));
    record->mobileInfo.other = facts.value("binInfo").isEmpty() ? "unknown" : facts.value("binInfo").toStdString();

    auto& contact = record->contactInfo;
    contact.tel = contact.email = contact.comment = "unknown";
    const QString qua = orNil(percentEscape(QString::fromUtf8(facts.value("qua"))).toUtf8());
    QString other = orNil(percentEscape(QString::fromUtf8(facts.value("deviceName"))).toUtf8());
    if (!facts.value("contact").isEmpty())
        other += "#" + QString::fromUtf8(facts.value("contact"));
    contact.qua = utf8(qua);
    contact.other = utf8(other);
    contact.all = utf8(qua + ";" + other);

    const auto attach = [&record, &facts, &files](const char* key, const char* name) {
        const QString path = files.ownReport(facts, key);
        if (path.isEmpty()) {
            const QFileInfo named(files.reportPath(facts, key));
            if (!named.filePath().isEmpty() && (named.exists() || named.isSymLink()))
                qWarning("crash report %s is not the writer's report of this crash; the crash is stored without it",
                         qUtf8Printable(named.filePath()));
            return;
        }
        QByteArray report;
        const CrashFolderFile::Read read = CrashFolderFile::readAll(path, &report, kMaxReportBytes);
        if (read == CrashFolderFile::Read::Done)
            record->attachmentList.push_back(attachment(name, report));
        else if (read == CrashFolderFile::Read::TooLarge)
            qWarning("crash report %s is larger than any report written; the crash is stored without it",
                     qUtf8Printable(path));
    };
    attach("crashPath", "crash.log");
    if (files.reportPath(facts, "backPath") != files.reportPath(facts, "crashPath"))
        attach("backPath", "crash_original.log");
    return record;
}

bool CrashHandler::persistCrashToDB(const std::shared_ptr<NSExpUpload>& record)
{
    std::lock_guard lock(m_mutex);
    if (auto stored = getCrashWithMD5(record->md5())) {
        // An unsent crash stays unsent; a sent one counts its repeats.
        stored->setCount(stored->count() == 0 ? 0 : stored->count() + 1);
        bool hasTimes = false;
        for (auto& a : stored->attachmentList) {
            if (a.fileName != kTimesLog)
                continue;
            const std::string text = std::string(a.data.begin(), a.data.end()) + ";" + std::to_string(record->time());
            a.data.assign(text.begin(), text.end());
            hasTimes = true;
        }
        if (!hasTimes)
            stored->attachmentList.push_back(attachment(
                kTimesLog, QByteArray::number(qlonglong(stored->time())) + ";" + QByteArray::number(qlonglong(record->time()))));
        const int64_t previous = stored->cashTime;
        stored->cashTime = record->cashTime;
        stored->setTime(record->time());
        if (!updateCrash(*stored))
            return false;
        // The repeat's attach text is filed under its own time.
        CrashAttachFile(m_directory).remove({previous});
        return true;
    }
    // Only a new row makes room: the oldest go first.
    const int stored = m_store.getObjectCountOfType(NSExpUpload::kPersistType, nullptr);
    if (stored >= kMaxRecords) {
        QVariantList ids;
        for (const auto& old : m_store.getObjectsWithCountOfType(NSExpUpload::kPersistType, stored - (kMaxRecords - 1), nullptr))
            ids << old->id();
        if (!ids.isEmpty())
            m_store.deleteObjectsByIds(ids, nullptr);
    }
    return m_store.saveObject(*record, nullptr);
}

CrashHandler::Records CrashHandler::crashesWhere(QVariantMap condition)
{
    condition.insert("type", NSExpUpload::kPersistType);
    AnaError error;
    Records records = m_store.getObjectsByCondition(condition, &error);
    if (error.code != 0)
        return {};
    std::erase_if(records, [](const auto& r) { return !std::dynamic_pointer_cast<NSExpUpload>(r); });
    return records;
}

std::shared_ptr<NSExpUpload> CrashHandler::getCrashWithMD5(int64_t key)
{
    if (key == 0)
        return nullptr;
    std::lock_guard lock(m_mutex);
    const Records found = crashesWhere({{"md5", qint64(key)}});
    if (found.empty())
        return nullptr;
    auto kept = std::dynamic_pointer_cast<NSExpUpload>(found.front());
    if (found.size() == 1)
        return kept;
    // Several rows with one key: they merge into the oldest.
    QVariantList others;
    for (size_t i = 1; i < found.size(); ++i) {
        kept->setCount(kept->count() + found[i]->count());
        others << found[i]->id();
    }
    if (!m_store.deleteObjectsByIds(others, nullptr) || !updateCrash(*kept))
        return nullptr;
    return kept;
}

bool CrashHandler::updateCrash(AnalyticsPersistObject& record)
{
    if (!dynamic_cast<NSExpUpload*>(&record))
        return false;
    return m_store.updateObject(record, nullptr);
}

bool CrashHandler::cleanCrashReport(long id)
{
    return m_store.deleteObjectById(id, nullptr);
}

bool CrashHandler::cleanCrashReports(const Records& records)
{
    return records.empty() || m_store.deleteObjects(records, nullptr);
}

bool CrashHandler::cleanAllCrashReport()
{
    return m_store.deleteObjectsByType(NSExpUpload::kPersistType, nullptr);
}

bool CrashHandler::expExist()
{
    AnaError error;
    const int count = m_store.getObjectCountOfType(NSExpUpload::kPersistType, &error);
    return error.code == 0 && count > 0;
}

void CrashHandler::persistLastCrashTime(int64_t time)
{
    std::lock_guard lock(m_mutex);
    if (time > 0)
        defaults().setDouble(kLastCrashTimeKey, double(time));
}

bool CrashHandler::raiseLastCrashTime(int64_t time, int waitMs)
{
    std::lock_guard lock(m_mutex);
    UserDefaults* target = m_defaults ? m_defaults : UserDefaults::tryStandardUserDefaults(waitMs);
    // A crash converted late never moves the time back.
    return target && target->update(
                         [time](QVariantMap& values) {
                             if (time > values.value(kLastCrashTimeKey).toDouble())
                                 values.insert(kLastCrashTimeKey, double(time));
                         },
                         waitMs);
}

int64_t CrashHandler::getLastCrashTime()
{
    std::lock_guard lock(m_mutex);
    const double stored = defaults().doubleForKey(kLastCrashTimeKey);
    return stored > 0 ? int64_t(stored) : 0;
}

int64_t CrashHandler::getTimeOfTodayStart() const
{
    const QDate today = m_clock.now().toLocalTime().date();
    return QDateTime(today, QTime(0, 0), Qt::LocalTime).toMSecsSinceEpoch();
}

CrashHandler::Records CrashHandler::allCrashes()
{
    return crashesWhere({});
}

QList<qint64> CrashHandler::storedCrashTimes()
{
    AnaError error;
    const QList<qint64> times = m_store.getTimesOfType(NSExpUpload::kPersistType, &error);
    return error.code == 0 ? times : QList<qint64>{};
}

CrashHandler::Records CrashHandler::getCrashWithZeroCount(qint64 maxBytes)
{
    return crashesWhere({{"count", 0}, {"limit", uploadLimit()}, {AnaSqlitePersistHandler::kMaxBytesKey, maxBytes}});
}

CrashHandler::Records CrashHandler::getCrashBeforeTodayWithMoreThanOneCount(qint64 maxBytes, qint64 takenBytes)
{
    // "Before today" is time < the start of today, here as everywhere.
    ANAPersistPropRange beforeToday, repeated;
    beforeToday.max = getTimeOfTodayStart() - 1;
    repeated.mix = 2;
    return crashesWhere({{"time", QVariant::fromValue(beforeToday)},
                         {"count", QVariant::fromValue(repeated)},
                         {"limit", uploadLimit()},
                         {AnaSqlitePersistHandler::kMaxBytesKey, maxBytes},
                         {AnaSqlitePersistHandler::kTakenBytesKey, takenBytes}});
}

CrashHandler::Records CrashHandler::getCrashBeforeTodayWithOneCount()
{
    ANAPersistPropRange beforeToday;
    beforeToday.max = getTimeOfTodayStart() - 1;
    return crashesWhere({{"time", QVariant::fromValue(beforeToday)},
                         {"count", 1},
                         {AnaSqlitePersistHandler::kMaxBytesKey, kReadBudget}});
}

CrashHandler::Records CrashHandler::getCrashedNeedUpload(int limit)
{
    Records chosen = getCrashWithZeroCount(kReadBudget);
    if (chosen.size() > size_t(std::max(limit, 0)))
        chosen.resize(size_t(std::max(limit, 0)));
    const size_t taken = chosen.size();
    qint64 used = 0;
    for (const auto& record : chosen)
        used += record->encLength();
    // The repeats share what is left of the budget.
    const Records repeated = getCrashBeforeTodayWithMoreThanOneCount(kReadBudget, used);
    for (size_t i = 0; i < repeated.size() && taken + i < size_t(std::max(limit, 0)); ++i)
        chosen.push_back(repeated[i]);
    return chosen;
}

bool CrashHandler::doUploadPostProcess(const Records& records)
{
    const int64_t todayStart = getTimeOfTodayStart();
    bool ok = true;
    for (const auto& record : records) {
        if (!std::dynamic_pointer_cast<NSExpUpload>(record))
            continue;
        if (record->time() < todayStart) {
            ok = m_store.deleteObjectById(record->id(), nullptr) && ok;
        } else if (record->count() == 0) {
            record->setCount(1);
            ok = updateCrash(*record) && ok;
        }
    }
    return ok;
}

int CrashHandler::uploadLimit() const
{
    return m_wlanProbe && m_wlanProbe() ? 10 : 3;
}

void CrashHandler::setWlanProbe(std::function<bool()> probe)
{
    m_wlanProbe = std::move(probe);
}

void CrashHandler::setStopRequest(std::function<bool()> stopRequested)
{
    m_stopRequested = std::move(stopRequested);
}

void CrashHandler::requestStop()
{
    m_stopped.store(true);
}

bool CrashHandler::stopRequested() const
{
    return m_stopped.load() || (m_stopRequested && m_stopRequested());
}

CrashHandler::CurrentCrash CrashHandler::currentCrash() const
{
    std::lock_guard lock(m_mutex);
    return m_current;
}

int64_t CrashHandler::keyForHash(const QString& hash)
{
    const QByteArray digest = QByteArray::fromHex(hash.toLatin1());
    uint64_t key = 0;
    for (int i = 0; i < 8 && i < digest.size(); ++i)
        key = (key << 8) | uint8_t(digest[i]);
    key &= 0x7FFFFFFFFFFFFFFFULL;
    return key == 0 ? 1 : int64_t(key);
}

QString CrashHandler::percentEscape(const QString& text)
{
    return QString::fromStdString(codec_url_escape(text.toStdString()));
}
