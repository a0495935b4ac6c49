#pragma once

#include <QMutex>
#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <functional>

// Key-value settings kept in one JSON file, written at once on every change
// (atomic replace). "Absent", an empty string and false stay distinct.
// Safe to use from several threads. An empty file path keeps the values in
// memory only (tests). A file that does not parse is moved aside
// ("<file>.damaged-<time>") and reported in the log before a fresh one is
// written; one that cannot be read or moved is never written over.
class UserDefaults {
public:
    explicit UserDefaults(QString filePath = {});

    // The process-wide instance, stored under the current home's preferences.
    static UserDefaults& standardUserDefaults();
    // The process-wide instance when its lock comes free within waitMs (-1:
    // however long it takes); null otherwise. For the crash path, which must never wait on a lock
    // the crashed thread may hold.
    static UserDefaults* tryStandardUserDefaults(int waitMs);
    // Tests and the launcher replace the process-wide instance.
    static void resetStandardUserDefaults(const QString& filePath);

    bool contains(const QString& key) const;
    QVariant objectForKey(const QString& key) const;   // invalid when absent
    QString stringForKey(const QString& key) const;    // null QString when absent
    bool boolForKey(const QString& key) const;         // false when absent
    qint64 integerForKey(const QString& key) const;    // 0 when absent
    double doubleForKey(const QString& key) const;     // 0 when absent

    void setObject(const QString& key, const QVariant& value);
    void setBool(const QString& key, bool value) { setObject(key, value); }
    void setInteger(const QString& key, qint64 value) { setObject(key, value); }
    void setDouble(const QString& key, double value) { setObject(key, value); }
    void setString(const QString& key, const QString& value) { setObject(key, value); }
    void removeObjectForKey(const QString& key);
    // Changes several values with one save. `change` edits the values as
    // stored (numbers read back from the file are doubles, dates are text).
    // The lock is taken within waitMs (-1: however long it takes). False
    // when the lock did not come free in time (nothing changed) or the save
    // failed (the change is then kept in memory only).
    bool update(const std::function<void(QVariantMap&)>& change, int waitMs = -1);

    // Last write failure (empty when the last write succeeded).
    QString lastError() const;

private:
    void load();
    // False when the values could not be written (memory-only is fine).
    bool saveLocked();

    QString m_path;
    mutable QMutex m_mutex;
    QVariantMap m_values;
    QString m_lastError;
    bool m_saveBlocked = false;
};
