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
using CrashCallback = int (*)(int);
extern std::atomic<CrashCallback> crashCallback;

// Turns the report writer's output into stored, de-duplicated crash records
// (persist type 3, at most ten) and chooses the records of an upload.
//
// A crash is stored at once by the writer's record step when nobody is
// inside the record store; otherwise its files stay and the next launch
// converts them (convertPendingCrashes). Report files are deleted only after
// their record is stored.
class CrashHandler {
public:
    using Records = AnaSqlitePersistHandler::Records;
    using Facts = QMap<QString, QByteArray>;

    static constexpr int kMaxRecords = 10;

    // The crash being stored, for the application's callback.
    struct CurrentCrash {
        int64_t time = 0;
        QString address;
        bool active = false;
        QStringList shortNames;
    };

    // defaults: null for the standard user defaults.
    CrashHandler(AnaSqlitePersistHandler& store, const Clock& clock, QString crashDirectory,
                 UserDefaults* defaults = nullptr);
    static CrashHandler& sharedInstance();

    // The writer's record step (CBugReport::setRecordStep).
    static void crashRecordStep(const CrashReportData& data);

    // Stores the crash being handled now (its facts file); false when the
    // store is busy or the crash could not be stored.
    bool saveCrashData();
    // Stores the crashes left from earlier runs, oldest first; returns how
    // many were stored. With a version, the crashes of versions ordering
    // before it are deleted instead.
    int convertPendingCrashes(const QString& keptFromVersion = {});
    // Claims one left crash (a counted attempt) and stores it.
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

    Records getCrashWithZeroCount();
    Records getCrashBeforeTodayWithMoreThanOneCount();
    Records getCrashBeforeTodayWithOneCount();
    Records getCrashedNeedUpload(int limit);
    bool doUploadPostProcess(const Records& records);

    // 10 records an upload on Wi-Fi, else 3.
    int uploadLimit() const;
    void setWlanProbe(std::function<bool()> probe);

    CurrentCrash currentCrash() const;

    // The de-duplication key of a record hash: the first 8 bytes of the
    // digest the hash spells, big-endian, kept to 63 bits; never 0.
    static int64_t keyForHash(const QString& hash);
    static QString percentEscape(const QString& text);

private:
    // Stores a crash from its files; a crash whose record is there already
    // (its time is the record's or among its repeats) is not stored again.
    bool storeCrash(PendingCrash& pending);
    bool isStoredAlready(const NSExpUpload& record);
    UserDefaults& defaults() const;
    Records crashesWhere(QVariantMap condition);

    AnaSqlitePersistHandler& m_store;
    const Clock& m_clock;
    QString m_directory;
    UserDefaults* m_defaults;
    std::function<bool()> m_wlanProbe;
    mutable std::recursive_mutex m_mutex;
    CurrentCrash m_current;
};
