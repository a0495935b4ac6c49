#pragma once

#include "analytics/AnaSqlitePersistHandler.h"
#include "crashhandler/NSExpUpload.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

class Clock;
class CrashReportData;
class PendingCrash;
class UserDefaults;

// The application's crash callback, called with 1 once a crash is stored.
// It answers 1 once the crash is counted, 0 when part of that must wait for
// the next launch (a lock it could not have at crash time, a store that
// refused).
using CrashCallback = int (*)(int);
extern std::atomic<CrashCallback> crashCallback;

// Turns the report writer's output into stored, de-duplicated crash records
// (persist type 3, at most ten) and chooses the records of an upload.
//
// A crash is stored at once by the writer's record step (saveCrashData),
// unless someone is inside the record store, the crash happened inside the
// memory allocator, or the step ran before for this crash; its files then
// stay and the next launch converts them (convertPendingCrashes), never
// while they may still be growing (a writer that is alive: this process's
// own crash included). A crash's reports are deleted once its record is
// stored; its facts file stays until the crash is also followed up (last
// crash time, the callback's count), so what the record step could not do
// the next launch does. Every step is keyed by the crash (its record's key
// and time), so a crash is stored and counted once whichever step
// completes. At crash time, locks another thread may hold are taken only
// within kCrashLockWaitMs.
class CrashHandler {
public:
    using Records = AnaSqlitePersistHandler::Records;
    using Facts = QMap<QString, QByteArray>;

    static constexpr int kMaxRecords = 10;
    static constexpr int kCrashLockWaitMs = 100;
    // The writer's largest report (512 threads of 256 frames of about 330
    // bytes, 1024 image lines with their paths) is under 50 MB: a larger
    // file is not its report, and the record is stored without it.
    static constexpr qint64 kMaxReportBytes = 128 * 1024 * 1024;
    // What one upload reads of the stored records at most (their stored
    // sizes); a single larger record is read alone.
    static constexpr qint64 kReadBudget = 4 * 1024 * 1024;
    // How far a crash's time may run ahead of the launch's clock (a clock
    // set back since); a facts file further ahead is damaged.
    static constexpr qint64 kFutureAllowanceMs = 24 * 3600 * 1000;

    // The crash being stored, for the application's callback.
    struct CurrentCrash {
        int64_t time = 0;
        QString address;
        bool active = false;
        QStringList shortNames;
        QString version;            // of the binary that crashed
        bool atCrashTime = false;   // the record step, else a later launch
    };

    // defaults: null for the standard user defaults.
    CrashHandler(AnaSqlitePersistHandler& store, const Clock& clock, QString crashDirectory,
                 UserDefaults* defaults = nullptr);
    static CrashHandler& sharedInstance();

    // The writer's record step (CBugReport::setRecordStep).
    static void crashRecordStep(const CrashReportData& data);

    // Stores the crash being handled now (its facts file) and follows it up;
    // false when it is left for the next launch.
    bool saveCrashData();
    // Stores the crashes left from earlier runs, oldest first, and follows
    // up those stored before; returns how many were stored. With a version,
    // the crashes of versions ordering before it are deleted instead. Empty
    // reports nothing names go too.
    // A termination asked for during it stops it between crashes; the rest
    // wait, whole, for the next launch. Facts that cannot be read, are
    // damaged, hold no crash or crashed each conversion are set aside.
    int convertPendingCrashes(const QString& keptFromVersion = {});
    // Asks whether a stop was asked; set before the launch's conversion.
    void setStopRequest(std::function<bool()> stopRequested);
    // A stop asked by the program itself (it ends): from any thread.
    void requestStop();
    // Either stop; once asked, no conversion or upload starts.
    bool stopRequested() const;
    // Stores one left crash, marked as being converted (PendingCrash);
    // true when its record was stored by this call. Facts cut before their
    // type are stored by their signal.
    bool convertCrash(const QString& factsPath);

    std::shared_ptr<NSExpUpload> buildRecord(const Facts& facts, const PendingCrash& files) const;
    bool persistCrashToDB(const std::shared_ptr<NSExpUpload>& record);
    std::shared_ptr<NSExpUpload> getCrashWithMD5(int64_t key);
    bool updateCrash(AnalyticsPersistObject& record);
    bool cleanCrashReport(long id);
    bool cleanCrashReports(const Records& records);
    bool cleanAllCrashReport();
    bool expExist();
    Records allCrashes();

    void persistLastCrashTime(int64_t time);
    int64_t getLastCrashTime();
    int64_t getTimeOfTodayStart() const;
    const Clock& clock() const { return m_clock; }

    // The times of the stored crashes, read without their records.
    QList<qint64> storedCrashTimes();
    // Reads stop once the stored records, with takenBytes read before, would
    // pass maxBytes (0: no bound; with nothing taken the first is read
    // whatever its size); those not read wait for a later upload.
    Records getCrashWithZeroCount(qint64 maxBytes = 0);
    Records getCrashBeforeTodayWithMoreThanOneCount(qint64 maxBytes = 0, qint64 takenBytes = 0);
    Records getCrashBeforeTodayWithOneCount();
    // At most `limit` records, read within kReadBudget bytes.
    Records getCrashedNeedUpload(int limit);
    bool doUploadPostProcess(const Records& records);
    // Whether the store could mark records sent (see doUploadPostProcess).
    bool canMarkSent() { return m_store.canWrite(); }

    // 10 records an upload on Wi-Fi, else 3.
    int uploadLimit() const;
    void setWlanProbe(std::function<bool()> probe);

    CurrentCrash currentCrash() const;

    // The de-duplication key of a record hash: the first 8 bytes of the
    // digest the hash spells, big-endian, kept to 63 bits; never 0.
    static int64_t keyForHash(const QString& hash);
    static QString percentEscape(const QString& text);

private:
    enum class Outcome {
        Done,       // stored (now or before) and followed up; its files are gone
        Left,       // the store refused or the follow-up must wait; files stay
        Unusable,   // facts without a crash in them, or that cannot be read
        Discarded,  // facts the writer never wrote a byte of; deleted
    };

    // Stores a crash from its files and follows it up; a crash whose record
    // is there already (its time is the record's or among its repeats) is
    // not stored again.
    Outcome storeCrash(PendingCrash& pending, bool atCrashTime, bool* stored);
    bool isStoredAlready(const NSExpUpload& record);
    // Facts cut before their type get it (and the error) from their signal.
    static Facts withSignalNames(Facts facts);
    bool writtenInTheFuture(const Facts& facts) const;
    // Last crash time, then the application's callback; true when all done.
    bool followUp(const Facts& facts, int64_t time, bool atCrashTime);
    // Raises "last_crash_time" to time; false when the defaults were not had.
    bool raiseLastCrashTime(int64_t time, int waitMs);
    UserDefaults& defaults() const;
    Records crashesWhere(QVariantMap condition);

    AnaSqlitePersistHandler& m_store;
    const Clock& m_clock;
    QString m_directory;
    UserDefaults* m_defaults;
    std::function<bool()> m_wlanProbe;
    std::function<bool()> m_stopRequested;
    std::atomic<bool> m_stopped{false};
    mutable std::recursive_mutex m_mutex;
    CurrentCrash m_current;
    // Set when the store refused a crash during the current conversion pass.
    bool m_storeRefused = false;
};
