#pragma once

#include "analytics/AnaSqlitePersistHandler.h"
#include "analytics/AnalyticsPersistObjectRegister.h"
#include "crashhandler/CrashHandler.h"
#include "support/FakeClock.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QMap>

// A temporary home with a crash folder, a record store and a crash handler
// over a fake clock; crashes are made as the report writer leaves them.
class CrashFixture : public ::testing::Test {
protected:
    CrashFixture();
    ~CrashFixture() override;

    // Writes "crash_<stamp>.log", the writer's report of these facts (its
    // header, then body), and the facts file; returns the facts path.
    QString leaveCrash(const QString& stamp, QMap<QString, QByteArray> facts, const QByteArray& body = "report");
    // The same with the report's bytes as given.
    QString leaveCrashWithReport(const QString& stamp, QMap<QString, QByteArray> facts, const QByteArray& report);
    // A crash that differs from others by its type.
    QString leaveSimpleCrash(int n, int64_t time, const QByteArray& type = "SIGSEGV",
                             const QByteArray& appVersion = "1.0");
    // Stores a crash record directly.
    std::shared_ptr<NSExpUpload> storeRecord(int64_t md5, int count, int64_t time);
    std::vector<std::shared_ptr<NSExpUpload>> crashes();
    QStringList crashFiles() const;

    TempHome home;
    FakeClock clock;
    AnaSqlitePersistHandler store;
    CrashHandler handler;
};

std::string attachmentText(const NSExpUpload& record, const std::string& name);
// An attached report's text after the writer's header.
std::string reportBody(const NSExpUpload& record, const std::string& name);
// A report as the writer writes it for a crash at timeMs of process pid.
QByteArray writerReport(qint64 timeMs, int pid, const QByteArray& body, const QByteArray& process = "padolvo");
// Facts in the form the report writer writes them.
QByteArray factsText(const QMap<QString, QByteArray>& facts);
