#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

// A crash the report writer left in the crash folder: its facts file
// ("crash_<time>.facts") and the reports it names. Each conversion attempt
// renames the facts file ("….facts.try1", "….try2", …) first, so a
// conversion that crashes or fails is retried at most kMaxAttempts times.
class PendingCrash {
public:
    static constexpr int kMaxAttempts = 3;

    // The facts files in the folder, oldest first.
    static QStringList list(const QString& directory);

    explicit PendingCrash(QString factsPath);

    const QString& path() const { return m_path; }
    int attempts() const;
    bool attemptsUsedUp() const { return attempts() >= kMaxAttempts; }
    // Counts one more attempt by renaming the facts file; false when the
    // rename failed (the next launch tries again).
    bool claim();
    QMap<QString, QByteArray> facts() const;
    // A report named by the facts ("crashPath", "backPath"); empty unless it
    // is a crash report in the facts file's own folder.
    QString reportPath(const QMap<QString, QByteArray>& facts, const char* key) const;
    // Deletes the facts file, the reports it names and the report of its
    // own stem ("crash_<time>.log"), which empty facts cannot name.
    void discard();

private:
    QString m_path;
};
