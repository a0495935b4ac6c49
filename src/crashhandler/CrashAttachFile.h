#pragma once

#include <QMap>
#include <QString>

// The application's attach texts of stored crashes: ".rir_crash_attach.data"
// in the crash folder, a JSON object (crash time in ms as decimal text →
// text) written atomically; the file goes when its last entry does.
class CrashAttachFile {
public:
    static constexpr const char* kFileName = ".rir_crash_attach.data";

    explicit CrashAttachFile(const QString& directory);

    const QString& path() const { return m_path; }
    // The entries; empty when none or unreadable.
    QMap<QString, QString> read() const;
    void write(const QMap<QString, QString>& logs) const;
    // Drops the entries of these crash times; false when none was there.
    bool remove(const QList<qint64>& times) const;

private:
    QString m_path;
};
