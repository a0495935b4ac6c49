#pragma once

#include "crashhandler/CrashFacts.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

// A crash the report writer left in the crash folder: its facts file
// ("crash_<time>.facts") and the reports it names. A conversion that crashed
// this program counts one attempt: the writer renames the facts file
// ("….facts.try1", "….try2", …; ConversionMark) as it crashes. A conversion
// killed or stopped counts nothing, and a crash whose conversions crashed
// kMaxAttempts times is set aside, never deleted.
//
// A report belongs to the crash when it is the writer's (its header) and
// was written by the crash's process (when the facts know it) at the
// crash's moment: only such a report is read into the record or deleted.
// A file of another kind, or another crash's report, is left where it is.
class PendingCrash {
public:
    static constexpr int kMaxAttempts = 3;
    // How far a report's time may lie from the facts' (the writer's later
    // passes, a zone offset with seconds the report does not print).
    static constexpr qint64 kReportTimeSlackMs = 60 * 1000;

    // The facts files in the folder, oldest first.
    static QStringList list(const QString& directory);
    // Removes the empty (0-byte) reports that no facts file in the folder
    // names: a writer that died before its first byte (a file-size limit)
    // leaves nothing to store.
    static void removeEmptyReports(const QString& directory);

    explicit PendingCrash(QString factsPath);

    const QString& path() const { return m_path; }
    // The conversions of this crash that crashed.
    int attempts() const;
    bool attemptsUsedUp() const { return attempts() >= kMaxAttempts; }
    // Marks the conversion this process starts, so that a crash meanwhile
    // counts it; false when it cannot be marked (it waits for a later launch).
    bool beginConversion();
    void endConversion();
    QMap<QString, QByteArray> facts() const;
    CrashFacts::Contents contents() const;
    // Moves the facts file aside ("….damaged-<time>"), never to be read
    // again, and says why in the log.
    void setAside(const char* why = "are damaged");
    // A report named by the facts ("crashPath", "backPath"): the crash
    // report of that file name in the facts file's own folder (a home moved
    // elsewhere keeps its reports); for facts cut before those names, the
    // report of the facts file's stem. Empty when the name is not a report's.
    QString reportPath(const QMap<QString, QByteArray>& facts, const char* key) const;
    // The report under key when it belongs to this crash, else empty.
    QString ownReport(const QMap<QString, QByteArray>& facts, const char* key) const;
    // Whether the process that wrote the crash is still running (its pid
    // in the facts, or on its report's "Process:" line, started before the
    // crash, and of the name its report gives): its files may still be
    // growing and are not to be taken.
    bool writerIsAlive(const QMap<QString, QByteArray>& facts) const;
    // Deletes the reports of this crash the facts name and the one of the
    // facts file's own stem ("crash_<time>.log"); the facts file stays.
    void removeReports(const QMap<QString, QByteArray>& facts) const;
    // Deletes the facts file and every report of the crash.
    void discard();
    // For a facts file the writer never got to write: deletes it, and its
    // stem's report when that is empty too. False, deleting nothing, when
    // the report holds bytes: the writer ended between its report and its
    // facts, and that crash is kept.
    bool discardUnwritten();

private:
    QString stemReport() const;
    bool belongs(const QString& report, const QMap<QString, QByteArray>& facts) const;

    QString m_path;
};
