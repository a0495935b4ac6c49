#pragma once

#include "crashhandler/CrashFacts.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

// A crash the report writer left in the crash folder: its facts file
// ("crash_<time>.facts") and the reports it names. Each conversion renames
// the facts file first ("….facts.try1", "….try2", …) and renames it back
// when it ends without storing (a store that refused, a count that must
// wait): only a conversion that never came back, because it crashed, stays
// counted, and such a crash is given up after kMaxAttempts.
class PendingCrash {
public:
    static constexpr int kMaxAttempts = 3;

    // The facts files in the folder, oldest first.
    static QStringList list(const QString& directory);
    // Removes the empty (0-byte) reports that no facts file in the folder
    // names: a writer that died before its first byte (a file-size limit)
    // leaves nothing to store.
    static void removeEmptyReports(const QString& directory);

    explicit PendingCrash(QString factsPath);

    const QString& path() const { return m_path; }
    int attempts() const;
    bool attemptsUsedUp() const { return attempts() >= kMaxAttempts; }
    // Counts one more attempt by renaming the facts file; false when the
    // rename failed (the next launch tries again).
    bool claim();
    // Takes back the attempt of the last claim.
    void release();
    QMap<QString, QByteArray> facts() const;
    CrashFacts::Contents contents() const;
    // For a damaged facts file (one that does not parse, is past the size
    // any writer gives it, or was written in the future): moves it aside
    // ("….damaged-<time>"), never to be read again, and says so in the log.
    void setAside();
    // A report named by the facts ("crashPath", "backPath"): the crash
    // report of that file name in the facts file's own folder (a home moved
    // elsewhere keeps its reports); empty when the name is not a report's.
    QString reportPath(const QMap<QString, QByteArray>& facts, const char* key) const;
    // Whether the process that wrote the crash is still running (the pid of
    // its report's "Process:" line, started before the crash): its files
    // may still be growing and are not to be taken.
    bool writerIsAlive(const QMap<QString, QByteArray>& facts) const;
    // Deletes the reports the facts name and the report of the facts file's
    // own stem ("crash_<time>.log"); the facts file stays.
    void removeReports(const QMap<QString, QByteArray>& facts) const;
    // Deletes the facts file and every report of the crash.
    void discard();
    // For a facts file the writer never got to write: deletes it, and its
    // stem's report only when that is empty too.
    void discardUnwritten();

private:
    QString stemReport() const;

    QString m_path;
    QString m_unclaimedPath;
};
